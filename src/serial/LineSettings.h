#pragma once
// The line settings block the port hands to the device: the layout of the platform's DCB, 28 bytes,
// with its bit fields packed into one flag word.

#include <cstdint>

#include "serial/ComTypes.h"

namespace velor {

struct TDcb {
    uint32_t DCBlength = 0;
    uint32_t BaudRate = 0;
    uint32_t Flags = 0;  // the packed bit fields, see the kDcb* constants
    uint16_t wReserved = 0;
    uint16_t XonLim = 0;
    uint16_t XoffLim = 0;
    uint8_t ByteSize = 0;
    uint8_t Parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    uint8_t StopBits = 0;  // 0 one, 1 one and a half, 2 two
    char XonChar = 0;
    char XoffChar = 0;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;
    uint16_t wReserved1 = 0;
};
static_assert(sizeof(TDcb) == 28, "the platform's DCB is 28 bytes");

// Bits of TDcb::Flags, in the order of the platform's bit fields.
inline constexpr uint32_t kDcbBinary = 1u << 0;
inline constexpr uint32_t kDcbParity = 1u << 1;
inline constexpr uint32_t kDcbOutxCtsFlow = 1u << 2;
inline constexpr uint32_t kDcbOutxDsrFlow = 1u << 3;
inline constexpr uint32_t kDcbDtrControlShift = 4;  // two bits
inline constexpr uint32_t kDcbDsrSensitivity = 1u << 6;
inline constexpr uint32_t kDcbTxContinueOnXoff = 1u << 7;
inline constexpr uint32_t kDcbOutX = 1u << 8;
inline constexpr uint32_t kDcbInX = 1u << 9;
inline constexpr uint32_t kDcbErrorChar = 1u << 10;
inline constexpr uint32_t kDcbNull = 1u << 11;
inline constexpr uint32_t kDcbRtsControlShift = 12;  // two bits
inline constexpr uint32_t kDcbAbortOnError = 1u << 14;
inline constexpr uint32_t kDtrControlEnable = 1;
inline constexpr uint32_t kRtsControlEnable = 1;

// The block for these settings: no flow control, DTR and RTS held on, parity checking only with a
// parity, binary mode, no character replacement; flag word 4113, or 4115 with parity.
TDcb BuildLineSettingsBlock(TBaudRate rate, TByteSize byteSize, TParity parity, TStopBits stopBits);

// The five timeouts as the device takes them, in milliseconds; kMaxTimeout is "all bits set".
struct TDeviceTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};
inline constexpr uint32_t kMaxTimeout = 0xFFFFFFFFu;

// A negative value becomes all bits set; 0 and positive values pass unchanged.
constexpr uint32_t ToDeviceTimeout(int32_t value) {
    return value < 0 ? kMaxTimeout : static_cast<uint32_t>(value);
}

}  // namespace velor
