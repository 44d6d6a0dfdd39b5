#include <gtest/gtest.h>

#include "Rig.h"
#include "app/Conversions.h"

namespace velor::testing {
namespace {

constexpr const char* kNotFoundWrite =
    "Не визначино, для усунення причин:\r\n- прилад повинен бути включеним;\r\n- розвернути "
    "роз`єм програмування;\r\n- ввести пароль;\r\n- перевірити вибір немеру СОМ.";

// The device got no erase, write or program frame.
void ExpectNoEraseOrWrite(Rig& rig) {
    for (const auto& frame : rig.devsim.LogLines("rx")) {
        for (const char* head : {"g04", "g05", "g06"}) {
            EXPECT_NE(frame.rfind(head, 0), 0u) << frame;
        }
    }
}

struct ReleaseCase {
    const char* description;
    const char* message;  // null: the conversion error instead
};

class ReleaseGate : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseGate, RefusesAnythingButAnOlderRelease) {
    const auto& c = GetParam();
    Rig rig({"--description", c.description});
    rig.host.realSleep = false;
    rig.LoadRelease();
    if (c.message != nullptr) {
        rig.session.ButtonWriteClick();
        EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Refused);
        EXPECT_EQ(rig.host.messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(rig.port.Opened());
        EXPECT_EQ(rig.host.beeps, std::vector<BeepKind>{BeepKind::Exclamation});  // the reset's
    } else {
        try {
            rig.session.ButtonWriteClick();
            ADD_FAILURE() << "no conversion error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(c.description) + "' is not a valid integer value");
        }
        EXPECT_TRUE(rig.host.messages.empty());
        EXPECT_TRUE(rig.port.Opened());  // the device stays in its bootloader
        EXPECT_EQ(rig.form.Activity, DeviceActivity::Idle);
    }
    rig.devsim.Stop();
    EXPECT_EQ(rig.Count("rx", "g0101;"), c.message != nullptr ? 2 : 0);
    ExpectNoEraseOrWrite(rig);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, ReleaseGate,
    ::testing::Values(ReleaseCase{"241004", "Дана версія вже записана в прилад!"},
                      ReleaseCase{"241005", "В прилад вже записана новіша версія!"},
                      ReleaseCase{"24100", "Невідомо що то є!"},
                      ReleaseCase{"2410035", "Невідомо що то є!"},
                      ReleaseCase{"", "Невідомо що то є!"}, ReleaseCase{"24A004", nullptr}));

// A write must never erase a device it cannot fill: no image at all (the start-up load never
// ran), or one smaller than the device's pages. Refused before the first erase, the way the
// release gate refuses, with the hand beep.
struct CoverageCase {
    const char* name;
    std::vector<std::string> devsimArgs;
    bool loadRelease;
    const char* message;
};

class ImageCoverage : public ::testing::TestWithParam<CoverageCase> {};

TEST_P(ImageCoverage, RefusesBeforeAnyErase) {
    const auto& c = GetParam();
    Rig rig(c.devsimArgs);
    rig.host.realSleep = false;
    if (c.loadRelease) {
        rig.LoadRelease();
    }
    rig.session.ButtonWriteClick();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Refused);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(rig.host.beeps, (std::vector<BeepKind>{BeepKind::Exclamation, BeepKind::Hand}));
    EXPECT_FALSE(rig.port.Opened());
    EXPECT_NE(rig.form.LabelNameOfHex, "Йде запис! Заборонено переривати!");
    rig.devsim.Stop();
    EXPECT_EQ(rig.Count("rx", "g0101;"), 2);
    ExpectNoEraseOrWrite(rig);
}

INSTANTIATE_TEST_SUITE_P(
    Images, ImageCoverage,
    ::testing::Values(
        CoverageCase{"NoImage",
                     {"--geometry", "2:16:2"},
                     false,
                     "Мікропрограму не завантажено!\r\nЗапис скасовано, прилад не змінено."},
        CoverageCase{"DeviceLargerThanTheImage",
                     {"--geometry", "255:255:400"},
                     true,
                     "Мікропрограма менша за пам'ять приладу!\r\nЗапис скасовано, прилад не "
                     "змінено."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Identify, ADeviceThatNeverAnswersIsAskedFiveTimesThenReported) {
    Rig rig({"--ignore", "02"});
    rig.host.realSleep = false;
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Refused);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kNotFoundWrite});
    EXPECT_EQ(rig.host.beeps, std::vector<BeepKind>{BeepKind::Hand});
    EXPECT_EQ(rig.form.LabelNameOfHex, "Мікропрограма готова до запису");
    EXPECT_TRUE(rig.form.TextTerminal.Empty());
    EXPECT_FALSE(rig.port.Opened());
    EXPECT_EQ(rig.form.ProgressbarReadWrite.Progress(), 0);
    rig.devsim.Stop();
    EXPECT_EQ(rig.Count("rx", "g0202;"), 5);
    EXPECT_EQ(rig.Count("rx", "g0303;"), 0);
}

TEST(Identify, AnotherBootloaderVersionIsNamedAndThePortStaysOpen) {
    Rig rig({"--version", "03"});
    rig.host.realSleep = false;
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    EXPECT_EQ(rig.host.messages,
              std::vector<std::string>{"03 - невідома версія завантажувача мікроконтролера"});
    EXPECT_EQ(rig.host.beeps, std::vector<BeepKind>{BeepKind::Asterisk});
    EXPECT_FALSE(rig.form.ButtonOpenHex.Enabled);
    EXPECT_TRUE(rig.port.Opened());
    EXPECT_EQ(rig.session.Info().BootloaderVersion, "03");
}

TEST(Detect, AnswerOnTheSecondTryStopsTheTriesAndShowsTheDescription) {
    Rig rig({"--drop-first", "1", "--description", "KALMIRA\\nv2"});
    rig.host.realSleep = false;
    rig.session.ButtonConectClick();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages,
              (std::vector<std::string>{"Визначино:\r\nKALMIRA\r\nv2",
                                        "              Робота приладу призупинена!\r\nВідкрийте "
                                        "мікропрограму з розширенням - HEX"}));
    EXPECT_EQ(rig.host.beeps, (std::vector<BeepKind>{BeepKind::Question, BeepKind::Asterisk}));
    EXPECT_EQ(rig.form.LabelNameOfHex, "Відкрийте мікропрограму з розширенням - HEX");
    EXPECT_EQ(rig.form.Focus, FocusTarget::ButtonOpenHex);
    EXPECT_TRUE(rig.port.Opened());
    EXPECT_EQ(rig.session.Info().BlocksPerPage, 16);
    EXPECT_EQ(rig.session.Info().BlockSize, 64);
    EXPECT_EQ(rig.session.Info().PageCount, 64);
    rig.devsim.Stop();
    EXPECT_EQ(rig.devsim.LogLines("lost"), std::vector<std::string>{"g0202;"});
    EXPECT_EQ(rig.Count("rx", "g0202;"), 1);
}

}  // namespace
}  // namespace velor::testing
