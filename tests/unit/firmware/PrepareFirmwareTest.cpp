#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <memory>
#include <string>

#include "TestRecords.h"
#include "app/Conversions.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/PrepareFirmware.h"
#include "support/RecordingHost.h"

namespace velor {
namespace {

using test::Lines;
using test::Rec;
using ImagePtr = std::shared_ptr<const FirmwareImage>;

const std::string kEof = ":00000001FF";

struct Window {
    MainWindowModel form;
    test::RecordingHost host;
    ImagePtr image;

    bool Load(const std::string& text) {
        form.TextTerminal.SetText(text);
        return PrepareFirmware(form, host, image);
    }
};

TEST(PrepareFirmware, EmbeddedReleaseCompletesAndSwapsInANewImage) {
    Window w;
    w.form.ButtonWrite.Enabled = false;
    w.form.ProgressbarReadWrite.SetProgress(30);
    ASSERT_TRUE(w.Load(std::string(EmbeddedReleaseText())));
    ASSERT_TRUE(w.image);
    EXPECT_EQ(w.image->Read(0xF0E0, 6), "323431303034");
    EXPECT_EQ(w.host.log, (std::vector<std::string>{"front", "beep 64"}));
    EXPECT_TRUE(w.form.ButtonWrite.Enabled);
    EXPECT_EQ(w.form.ProgressbarReadWrite.Progress(), 0);
    EXPECT_EQ(w.form.ProgressbarReadWrite.MaxValue(), 3909);
}

TEST(PrepareFirmware, LowerCaseTextIsUpperCasedInPlaceAndLoadsAlike) {
    Window w;
    const std::string upper = Lines({Rec(0x00, 0x0100, "ABCDEF"), kEof});
    std::string lower = upper;
    for (auto& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    ASSERT_TRUE(w.Load(lower + "\xEA\xEE\xEC\xE5\xED\xF2\xE0\xF0\r\n"));  // CP1251
    EXPECT_EQ(w.form.TextTerminal.Text(), upper + "\xCA\xCE\xCC\xC5\xCD\xD2\xC0\xD0\r\n");
    EXPECT_EQ(w.image->Read(0x0100, 3), "ABCDEF");
}

// A load that does not complete keeps the image of the load before, whatever stopped it.
TEST(PrepareFirmware, StoppedLoadsKeepThePreviousImage) {
    const struct {
        std::string name, text;
        bool throws;
    } cases[] = {
        {"checksum", Lines({Rec(0x00, 0, "11"), ":0100000022DE"}), false},
        {"start linear", Lines({Rec(0x00, 0, "11"), Rec(0x05, 0, "00000000")}), false},
        {"outside", Lines({Rec(0x00, 0, "11"), Rec(0x04, 0, "0200"), Rec(0x00, 0, "11")}), false},
        {"conversion in the build", Lines({Rec(0x00, 0, "11"), ":01000G0000FF"}), true},
        {"conversion in the check", Lines({Rec(0x00, 0, "11"), ":0100000011XX"}), true},
        {"empty text", "", true},
        {"no data record", Lines({Rec(0x04, 0, "0000"), kEof}), false},
        {"a web page saved as .hex", "<html>\r\n<body>:-)</body>\r\n</html>\r\n", false},
        {"only the end record", kEof, false},
        {"data that is not hexadecimal", Lines({Rec(0x00, 0, "11"), ":01000000GGFF"}), false},
    };
    for (const auto& c : cases) {
        Window w;
        ASSERT_TRUE(w.Load(Lines({Rec(0x00, 0, "5A"), kEof})));
        const ImagePtr before = w.image;
        w.form.ButtonWrite.Enabled = false;
        w.host.log.clear();
        bool threw = false;
        try {
            EXPECT_FALSE(w.Load(c.text)) << c.name;
        } catch (const EConvertError&) {
            threw = true;
        } catch (const ERangeError&) {
            threw = true;
        }
        EXPECT_EQ(threw, c.throws) << c.name;
        EXPECT_EQ(w.image, before) << c.name;
        EXPECT_EQ(w.image->Read(0, 1), "5A") << c.name;
        EXPECT_FALSE(w.form.ButtonWrite.Enabled) << c.name;
        EXPECT_EQ(w.host.log.size(), c.throws ? 0u : 2u) << c.name;
    }
}

// Nothing to write must never reach the device: a text with no byte in it, or a data field whose
// pair the checksum took as 0, is refused with the hand beep and a message that says why.
TEST(PrepareFirmware, TextsThatHoldNoFirmwareAreRefusedWithTheirReason) {
    Window w;
    w.form.ProgressbarReadWrite.SetProgress(0);
    EXPECT_FALSE(w.Load(Lines({"garbage", Rec(0x04, 0, "0000"), kEof})));
    EXPECT_EQ(w.host.log,
              (std::vector<std::string>{"beep 16",
                                        "message Мікропрограма не містить жодного запису "
                                        "даних!\r\nЗапис такої мікропрограми неможливий."}));
    EXPECT_FALSE(w.image);

    w.host.log.clear();
    EXPECT_FALSE(w.Load(Lines({Rec(0x00, 0, "11"), ":01000100G0FE", kEof})));
    ASSERT_EQ(w.host.messages.size(), 2u);
    EXPECT_EQ(w.host.messages[1],
              "Недопустимий символ у даних у строці мікропрограми: 2! (:01000100G0FE)");
    EXPECT_EQ(w.host.log.front(), "beep 16");
    EXPECT_EQ(w.form.ProgressbarReadWrite.Progress(), 0);
}

TEST(PrepareFirmware, LoadDuringAWriteLeavesTheWriteButtonAsTheWriteSetIt) {
    Window w;
    w.form.Activity = DeviceActivity::Writing;
    w.form.ButtonWrite.Enabled = false;
    ASSERT_TRUE(w.Load(Lines({Rec(0x00, 0, "01"), kEof})));
    EXPECT_FALSE(w.form.ButtonWrite.Enabled);
}

// A handler running nested in the load's event turns may start another load; the outer load
// goes on with the text it started with and its own image, and nothing reads freed text.
TEST(PrepareFirmware, NestedLoadInAnEventTurnDoesNotPullTheTextFromUnderTheLoad) {
    Window w;
    const std::string outer = Lines({Rec(0x00, 0, "0A"), "", "", Rec(0x00, 1, "0B"), kEof});
    const std::string inner = Lines({Rec(0x00, 0, "CC"), kEof});
    ImagePtr innerImage;
    bool nested = false;
    w.host.onProcessEvents = [&] {
        if (nested) {
            return;
        }
        nested = true;
        w.form.TextTerminal.SetText(inner + std::string(100000, '\n'));
        test::RecordingHost quiet;
        EXPECT_TRUE(PrepareFirmware(w.form, quiet, innerImage));
    };
    w.form.TextTerminal.SetText(outer);
    ASSERT_TRUE(PrepareFirmware(w.form, w.host, w.image, std::chrono::milliseconds(0)));
    EXPECT_TRUE(nested);
    EXPECT_EQ(w.image->Read(0, 2), "0A0B");
    EXPECT_EQ(innerImage->Read(0, 2), "CCFF");
}

}  // namespace
}  // namespace velor
