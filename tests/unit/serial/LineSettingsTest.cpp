#include <gtest/gtest.h>

#include "serial/LineSettings.h"

namespace velor {
namespace {

TEST(LineSettingsBlock, EveryRateReachesTheBlockAsItsBitsPerSecond) {
    const uint32_t expected[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    for (uint8_t ordinal = 0; ordinal < 15; ++ordinal) {
        const TDcb dcb = BuildLineSettingsBlock(static_cast<TBaudRate>(ordinal), TByteSize::bs8,
                                                TParity::paNone, TStopBits::sb1);
        EXPECT_EQ(dcb.BaudRate, expected[ordinal]) << "ordinal " << int(ordinal);
    }
}

TEST(LineSettingsBlock, FlagWordCodesAndFixedMembers) {
    struct Row {
        TByteSize size;
        TParity parity;
        TStopBits stop;
        uint32_t flags;
        uint8_t byteSize, parityCode, stopCode;
    };
    const Row rows[] = {
        {TByteSize::bs8, TParity::paNone, TStopBits::sb1, 4113, 8, 0, 0},
        {TByteSize::bs7, TParity::paOdd, TStopBits::sb2, 4115, 7, 1, 2},
        {TByteSize::bs6, TParity::paEven, TStopBits::sb1, 4115, 6, 2, 0},
        {TByteSize::bs5, TParity::paMark, TStopBits::sb1_5, 4115, 5, 3, 1},
        {TByteSize::bs8, TParity::paSpace, TStopBits::sb1, 4115, 8, 4, 0},
    };
    for (const Row& r : rows) {
        const TDcb dcb = BuildLineSettingsBlock(TBaudRate::br115200, r.size, r.parity, r.stop);
        EXPECT_EQ(dcb.Flags, r.flags);
        EXPECT_EQ(dcb.ByteSize, r.byteSize);
        EXPECT_EQ(dcb.Parity, r.parityCode);
        EXPECT_EQ(dcb.StopBits, r.stopCode);
        EXPECT_EQ(dcb.DCBlength, 28u);
        EXPECT_EQ(dcb.XonChar, 17);
        EXPECT_EQ(dcb.XoffChar, 19);
        EXPECT_EQ(dcb.XonLim + dcb.XoffLim + dcb.ErrorChar + dcb.EofChar + dcb.EvtChar, 0);
    }
}

}  // namespace
}  // namespace velor
