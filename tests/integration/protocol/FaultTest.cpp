#include <gtest/gtest.h>

#include <numeric>

#include "Rig.h"

namespace velor::testing {
namespace {

constexpr const char* kPartialWarning =
    "                                               Увага!\r\nПри неповному запису можлива "
    "некоректна робота приладу!";

TEST(Failure, AnEraseNeverAnsweredFailsAfter400AttemptsWithGrowingWaits) {
    Rig rig({"--ignore", "04"});
    rig.host.realSleep = false;  // the waits are recorded; the device never answers anyway
    rig.LoadRelease();
    rig.session.ButtonWriteClick();

    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Failed);
    EXPECT_EQ(rig.host.messages,
              (std::vector<std::string>{
                  "                              \r\nПомилка очистки - 000000", kPartialWarning}));
    EXPECT_EQ(rig.host.tones, (std::vector<int>{1200, 800, 500}));
    EXPECT_EQ(rig.host.beeps, (std::vector<BeepKind>{BeepKind::Asterisk, BeepKind::Asterisk}));
    EXPECT_EQ(rig.form.Label3, "Автокалібровка: 400.0.0");
    EXPECT_EQ(rig.form.LabelNameOfHex, "Мікропрограма :  - помилка");
    EXPECT_TRUE(rig.port.Opened());
    EXPECT_FALSE(rig.form.ButtonWrite.Enabled);
    EXPECT_TRUE(rig.form.ButtonConect.Enabled && rig.form.cbPort.Enabled &&
                rig.form.ButtonOpenHex.Enabled);

    // The erase waits are 1, 2, ... 399 ms after the first immediate read.
    std::vector<int> expected(399);
    std::iota(expected.begin(), expected.end(), 1);
    const std::vector<int> tail(rig.host.sleeps.end() - 399, rig.host.sleeps.end());
    EXPECT_EQ(tail, expected);

    rig.devsim.Stop();
    EXPECT_EQ(rig.Count("rx", "g0400000004;"), 400);
    EXPECT_EQ(rig.Count("rx", "g0101;"), 0);  // not reset
}

TEST(Failure, ALineThatVanishesMidWriteIsAPortErrorNeverASuccess) {
    Rig rig({"--geometry", "4:32:8"});
    rig.LoadRelease();
    rig.host.onProcessEvents = [&] {
        if (rig.form.Activity == DeviceActivity::Writing &&
            rig.form.ProgressbarReadWrite.Progress() == 2) {
            rig.devsim.Kill();
        }
    };
    try {
        rig.session.ButtonWriteClick();
        ADD_FAILURE() << "the write went on without its device";
    } catch (const EComPort& e) {
        const std::string message = e.what();
        EXPECT_TRUE(message == "Помилка запису в порт.\nНеобхідно повторно відкрити програму!" ||
                    message == "Помилка читання з порта\nНеобхідно повторно відкрити програму!")
            << message;
    }
    for (const auto& m : rig.host.messages) {
        EXPECT_EQ(m.find("успішно"), std::string::npos) << m;
    }
    EXPECT_EQ(rig.form.Activity, DeviceActivity::Idle);
    // Handed back as after a failed write, so the operator can go on without a restart.
    EXPECT_TRUE(rig.form.ButtonConect.Enabled && rig.form.cbPort.Enabled &&
                rig.form.cbBaudRate.Enabled && rig.form.ButtonWrite.Enabled);
    EXPECT_EQ(rig.form.LabelNameOfHex, "Мікропрограма :  - помилка");
}

TEST(Failure, APortThatCannotBeOpenedLeavesNoOperationRunning) {
    Rig rig({});
    rig.form.cbPort.Items = {"/dev/velor-no-such-port"};
    rig.LoadRelease();
    EXPECT_THROW(rig.session.ButtonWriteClick(), EComPort);
    EXPECT_EQ(rig.form.Activity, DeviceActivity::Idle);
    // The next operation runs (it is not refused as nested): it meets the same error.
    EXPECT_THROW(rig.session.ResetKey(), EComPort);
    EXPECT_THROW(rig.session.ButtonConectClick(), EComPort);
}

}  // namespace
}  // namespace velor::testing
