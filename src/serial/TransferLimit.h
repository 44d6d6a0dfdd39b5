#pragma once
// How long a transfer may take before it is taken as stuck. A request ends by its own time-outs
// (or, for a write without any, by the line time of its bytes); one that is still pending far
// beyond that (a driver or Wine that never completes it) would hold the operation's thread for
// ever with no message to the operator.

#include <cstdint>

#include "serial/LineSettings.h"

namespace velor {

inline constexpr uint32_t kNoTransferLimit = 0xFFFFFFFFu;
// Far beyond any scheduling delay of a loaded PC, far below an operator's patience.
inline constexpr uint32_t kStuckTransferMarginMs = 5000;

// kNoTransferLimit only for a read that the time-outs let wait for its bytes without end: the
// caller asked for that.
constexpr uint32_t TransferLimitMs(const TDeviceTimeouts& t, bool read, uint32_t count,
                                   uint32_t baudRate) {
    uint64_t expected = 0;
    const uint32_t multiplier = read ? t.ReadTotalTimeoutMultiplier : t.WriteTotalTimeoutMultiplier;
    const uint32_t constant = read ? t.ReadTotalTimeoutConstant : t.WriteTotalTimeoutConstant;
    if (multiplier == kMaxTimeout || constant == kMaxTimeout) {
        return kNoTransferLimit;  // a total time-out out of all reason sets no bound either
    }
    if (multiplier != 0 || constant != 0) {
        expected = uint64_t{multiplier} * count + constant;
    } else if (read) {
        // Only an interval time-out of all bits set with no totals returns at once.
        if (t.ReadIntervalTimeout != kMaxTimeout) {
            return kNoTransferLimit;
        }
    } else {
        // Eleven bit times a byte (start, eight data, parity, stop), at the slowest rate if unset.
        const uint64_t bitsPerSecond = baudRate != 0 ? baudRate : 110;
        expected = (uint64_t{count} * 11 * 1000 + bitsPerSecond - 1) / bitsPerSecond;
    }
    const uint64_t limit = expected + kStuckTransferMarginMs;
    return limit >= kNoTransferLimit ? kNoTransferLimit - 1 : static_cast<uint32_t>(limit);
}

}  // namespace velor
