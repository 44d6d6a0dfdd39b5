#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestRecords.h"
#include "app/Conversions.h"
#include "firmware/BuildFirmwareImage.h"
#include "firmware/HexChecks.h"
#include "support/RecordingHost.h"

namespace velor {
namespace {

using test::Lines;
using test::Rec;

struct BuildRun {
    bool completed = false;
    test::RecordingHost host;
    TsGauge gauge;
    FirmwareImage image;
    std::string text;

    explicit BuildRun(std::string t) : text(std::move(t)) {
        EventPump pump(host);
        completed = BuildFirmwareImage(SplitLines(text), gauge, host, pump, image);
    }
    // Image characters at a character offset.
    std::string At(int64_t offset, int64_t chars) const {
        return image.Read(offset / 2, chars / 2);
    }
};

const std::string kEof = ":00000001FF";

TEST(BuildFirmwareImage, TextWithoutRecordsGivesAnImageOfFF) {
    BuildRun run("no records here\n\n");
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(run.image.Read(0, FirmwareImage::kByteCount), std::string(40'000'000, 'F'));
    EXPECT_EQ(run.gauge.Progress(), 0);
    EXPECT_TRUE(run.host.log.empty());
}

TEST(BuildFirmwareImage, DispatchesOnTheSecondTypeDigitOnly) {
    BuildRun run(Lines({
        Rec(0x00, 0x0000, "0102"),
        Rec(0x10, 0x0002, "0304"),      // 10 is data
        Rec(0x03, 0x0000, "00001234"),  // start segment address: passed over
        Rec(0x00, 0x0010, "", 0),       // count 0 places nothing
        "not a record",
        Rec(0x11, 0x0000, ""),  // 11 ends the build like 01
        Rec(0x00, 0x0004, "AAAA"),
    }));
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(run.image.Read(0, 8), "01020304FFFFFFFF");
    EXPECT_EQ(run.image.Read(0x10, 1), "FF");
    // Four record lines stepped; neither the plain line nor the end record did.
    EXPECT_EQ(run.gauge.MaxValue(), 6);
    EXPECT_EQ(run.gauge.Progress(), 4);
}

TEST(BuildFirmwareImage, ExtendedAddressesReplaceTheBase) {
    const struct {
        std::string text;
        int64_t offset;  // image characters of the first data byte
    } cases[] = {
        {Lines({Rec(0x02, 0, "1000"), Rec(0x00, 0x0000, "5A")}), 131'072},
        {Lines({Rec(0x04, 0, "0001"), Rec(0x00, 0x0010, "5A")}), 131'104},
        // The second record replaces the base of the first, it is not added to it.
        {Lines({Rec(0x04, 0, "0001"), Rec(0x02, 0, "0010"), Rec(0x00, 0x0001, "5A")}), 514},
        {Lines({Rec(0x02, 0, "1000"), Rec(0x04, 0, "0000"), Rec(0x00, 0x0001, "5A")}), 2},
        // Segment FFFF, offset FFFF: 0x10FFEF, well inside the image.
        {Lines({Rec(0x02, 0, "FFFF"), Rec(0x00, 0xFFFF, "5A")}), 2 * 0x10FFEF},
    };
    for (const auto& c : cases) {
        BuildRun run(c.text);
        EXPECT_TRUE(run.completed) << c.text;
        EXPECT_EQ(run.At(c.offset - 2, 6), "FF5AFF") << c.text;
    }
}

TEST(BuildFirmwareImage, RecordsRunOnPast64KiBAndLaterOnesOverwrite) {
    BuildRun run(Lines({
        Rec(0x04, 0, "0002"),
        Rec(0x00, 0xFFFE, "11223344"),  // no wrap at FFFF: on into 0x30000
        Rec(0x00, 0x0001, "AABB"),
        Rec(0x04, 0, "0003"),
        Rec(0x00, 0x0000, "99"),  // the later record wins at 0x30000
        kEof,
    }));
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(run.image.Read(0x2FFFE, 4), "11229944");
    EXPECT_EQ(run.image.Read(0x20000, 3), "FFAABB");
    EXPECT_EQ(run.image.CoveredRanges(),
              (std::vector<ByteRange>{{0x20001, 0x20002}, {0x2FFFE, 0x30001}}));
}

TEST(BuildFirmwareImage, TextWithoutEndRecordIsBuiltToItsLastLine) {
    BuildRun run(Lines({Rec(0x00, 0, "01"), Rec(0x00, 0x1000, "02")}));
    EXPECT_TRUE(run.completed);
    EXPECT_EQ(run.image.Read(0x1000, 1), "02");
    EXPECT_EQ(run.gauge.Progress(), 1);  // held at MaxValue n - 1
}

TEST(BuildFirmwareImage, StartLinearAddressRecordStopsAfterTheLinesBeforeIt) {
    std::vector<std::string> lines;
    for (int i = 0; i < 11; ++i) {
        lines.push_back(Rec(0x00, 16 * i, "A5A5"));
    }
    lines.push_back(Rec(0x05, 0, "08000131"));
    lines.push_back(Rec(0x00, 0x1000, "77"));
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    BuildRun run(text);
    EXPECT_FALSE(run.completed);
    EXPECT_EQ(
        run.host.log,
        (std::vector<std::string>{
            "beep 16", "message Знайдено: Start Linear Address Records (MDK-ARM only): 12! (" +
                           lines[11] + ")"}));
    EXPECT_EQ(run.gauge.Progress(), 0);
    EXPECT_EQ(run.image.Read(160, 2), "A5A5");
    EXPECT_EQ(run.image.Read(0x1000, 1), "FF");
}

// Texts the check pass lets through but that have no sound image: refused, nothing written
// outside the image.
TEST(BuildFirmwareImage, RefusesRecordsThatCannotBePlaced) {
    const std::string shortRecord = "Неповний запис у строці мікропрограми: ";
    const std::string shortData = "Даних менше, ніж вказано, у строці мікропрограми: ";
    const std::string outside = "Дані поза межами пам'яті приладу у строці мікропрограми: ";
    const std::string ela0131 = Rec(0x04, 0, "0131");
    const struct {
        std::vector<std::string> lines;
        std::string prefix;
    } cases[] = {
        {{Rec(0x00, 0, "01"), ":00"}, shortRecord},
        {{":0000000"}, shortRecord},
        {{Rec(0x00, 0, "0102", 3)}, shortData},           // LL 03, two data bytes
        {{":02000000AB53"}, shortData},                   // the checksum is no data byte
        {{ela0131, Rec(0x00, 0x2D00, "01")}, outside},    // byte 20,000,000
        {{ela0131, Rec(0x00, 0x2CFF, "0102")}, outside},  // runs past 19,999,999
        {{Rec(0x04, 0, "0132"), Rec(0x00, 0x0000, "01")}, outside},
        {{Rec(0x04, 0, "FFFF"), Rec(0x00, 0xFFFF, "01")}, outside},  // past a 32-bit base
    };
    for (const auto& c : cases) {
        std::string text;
        for (const auto& line : c.lines) {
            text += line + "\n";
        }
        BuildRun run(text);
        const auto& failing = c.lines.back();
        EXPECT_FALSE(run.completed) << text;
        EXPECT_EQ(run.host.log,
                  (std::vector<std::string>{"beep 16", "message " + c.prefix +
                                                           std::to_string(c.lines.size()) + "! (" +
                                                           failing + ")"}))
            << text;
        EXPECT_EQ(run.gauge.Progress(), 0) << text;
        EXPECT_EQ(run.image.Read(FirmwareImage::kByteCount - 1, 1), "FF") << text;
    }
}

TEST(BuildFirmwareImage, LastByteOfTheImageCanBeSetAndEmptyRecordsStayHarmless) {
    BuildRun run(Lines({Rec(0x04, 0, "0131"), Rec(0x00, 0x2CFF, "42"), Rec(0x00, 0xFFFF, "", 0),
                        Rec(0x04, 0, "FFFF"), kEof}));
    EXPECT_TRUE(run.completed) << run.host.log.size();
    EXPECT_EQ(run.image.Read(FirmwareImage::kByteCount - 1, 1), "42");
}

TEST(BuildFirmwareImage, NonHexFieldsRaiseTheConversionErrorAndLeaveTheGauge) {
    const struct {
        std::string badLine, error;
    } cases[] = {
        {":0G00000000", "'$0G' is not a valid integer value"},
        {":0100G00000FF", "'$00G0' is not a valid integer value"},
        {":020000021X0000", "'$1X00' is not a valid integer value"},
        {":00000004", "'$' is not a valid integer value"},  // "$" + what there is
        {":0000000200G", "'$00G' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        test::RecordingHost host;
        TsGauge gauge;
        FirmwareImage image;
        EventPump pump(host);
        const std::string text = Lines({Rec(0x00, 0, "01"), Rec(0x00, 1, "02"), c.badLine});
        try {
            BuildFirmwareImage(SplitLines(text), gauge, host, pump, image);
            ADD_FAILURE() << "no conversion error for " << c.badLine;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), c.error);
        }
        EXPECT_TRUE(host.log.empty());
        EXPECT_EQ(gauge.Progress(), 2) << c.badLine;
    }
}

}  // namespace
}  // namespace velor
