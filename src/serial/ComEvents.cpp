#include "serial/ComEvents.h"

#include <array>

namespace velor {
namespace {

constexpr std::array<uint32_t, 8> kCodes = {kEvRxChar, kEvTxEmpty, kEvRing, kEvCts,
                                            kEvDsr,    kEvRlsd,    kEvErr,  kEvRx80Full};

}  // namespace

uint32_t PortEventCode(TPortEvent event) {
    return kCodes[static_cast<uint8_t>(event)];
}

uint32_t EventSetToMask(TPortEvents events) {
    uint32_t mask = 0;
    for (uint8_t i = 0; i < kCodes.size(); ++i) {
        if (events.Contains(static_cast<TPortEvent>(i)))
            mask |= kCodes[i];
    }
    return mask;
}

TPortEvents MaskToEventSet(uint32_t mask) {
    TPortEvents events;
    for (uint8_t i = 0; i < kCodes.size(); ++i) {
        if (mask & kCodes[i])
            events.Include(static_cast<TPortEvent>(i));
    }
    return events;
}

}  // namespace velor
