#pragma once
// The line events a port's event thread reports, and the line errors of OnError.

#include <cstdint>

#include "serial/ComTypes.h"

namespace velor {

enum class TPortEvent : uint8_t {
    peRxChar,
    peTxEmpty,
    peRing,
    peCTS,
    peDSR,
    peRLSD,
    peError,
    peRx80Full,
};
using TPortEvents = TEnumSet<TPortEvent>;

// The platform's event codes.
inline constexpr uint32_t kEvRxChar = 0x0001;    // a character arrived
inline constexpr uint32_t kEvRxFlag = 0x0002;    // never asked for
inline constexpr uint32_t kEvTxEmpty = 0x0004;   // the output queue was sent
inline constexpr uint32_t kEvCts = 0x0008;       // CTS changed
inline constexpr uint32_t kEvDsr = 0x0010;       // DSR changed
inline constexpr uint32_t kEvRlsd = 0x0020;      // RLSD (carrier) changed
inline constexpr uint32_t kEvBreak = 0x0040;     // never asked for
inline constexpr uint32_t kEvErr = 0x0080;       // a line-status error
inline constexpr uint32_t kEvRing = 0x0100;      // the ring indicator
inline constexpr uint32_t kEvRx80Full = 0x0400;  // the input queue is 80% full

// The platform code of each event, by ordinal.
uint32_t PortEventCode(TPortEvent event);
uint32_t EventSetToMask(TPortEvents events);
// Bits of no event in the set are ignored.
TPortEvents MaskToEventSet(uint32_t mask);

inline constexpr TPortEvents kAllPortEvents = TPortEvents::FromBits(0xFF);

enum class TComError : uint8_t {
    ceFrame,
    ceRxParity,
    ceOverrun,
    ceBreak,
    ceIO,
    ceMode,
    ceRxOver,
    ceTxFull,
};
using TComErrors = TEnumSet<TComError>;

// The window message that carries one event code to the port's hidden window.
inline constexpr uint32_t kPortEventMessage = 1024 + 1;

}  // namespace velor
