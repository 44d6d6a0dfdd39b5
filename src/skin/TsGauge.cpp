#include "skin/TsGauge.h"

#include <algorithm>
#include <limits>

namespace velor {

namespace {

std::string RangeMessage(int64_t low, int64_t high) {
    return "Value must be between " + std::to_string(low) + " and " + std::to_string(high);
}

}  // namespace

void TsGauge::SetMinValue(int64_t value) {
    if (value > m_max) {
        throw ERangeError(RangeMessage(std::numeric_limits<int32_t>::min(), m_max - 1));
    }
    m_min = value;
    m_progress = std::max(m_progress, m_min);
}

void TsGauge::SetMaxValue(int64_t value) {
    if (value < m_min) {
        throw ERangeError(RangeMessage(m_min + 1, std::numeric_limits<int32_t>::max()));
    }
    m_max = value;
    m_progress = std::min(m_progress, m_max);
}

void TsGauge::SetProgress(int64_t value) {
    m_progress = std::clamp(value, m_min, m_max);
}

void TsGauge::AddProgress(int64_t delta) {
    // Saturate instead of overflowing: the gauge clamps anyway.
    int64_t target;
    if (__builtin_add_overflow(m_progress, delta, &target)) {
        target =
            delta > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    }
    SetProgress(target);
}

int TsGauge::Percent() const {
    if (m_max == m_min) {
        return 0;
    }
    // 128-bit so that any pair of 64-bit bounds divides exactly.
    const __int128 num = static_cast<__int128>(m_progress - static_cast<__int128>(m_min)) * 100;
    const __int128 den = static_cast<__int128>(m_max) - m_min;
    __int128 q = num / den;
    const __int128 r2 = (num % den) * 2;
    if (r2 > den || (r2 == den && (q % 2) != 0)) {
        ++q;
    }
    return static_cast<int>(q);
}

std::string TsGauge::Text() const {
    return std::to_string(Percent()) + "%";
}

}  // namespace velor
