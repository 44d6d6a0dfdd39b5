#include "protocol/ReplyLatency.h"

#include <algorithm>

namespace velor {

namespace {

// Every read of a reply ends after a silence of this long.
constexpr double kReadGapMs = 1.0;
// A write has about 2,100 replies; beyond this many the median is settled.
constexpr std::size_t kMaxSamples = 10000;

}  // namespace

void ReplyLatency::Add(double readMs, std::size_t replyBytes, uint32_t baud) {
    if (m_samples.size() >= kMaxSamples) {
        return;
    }
    const double lineMs = baud > 0 ? static_cast<double>(replyBytes) * 10'000.0 / baud : 0.0;
    m_samples.push_back(static_cast<float>(std::max(0.0, readMs - lineMs - kReadGapMs)));
}

std::optional<double> ReplyLatency::MedianMs() const {
    if (m_samples.empty()) {
        return std::nullopt;
    }
    std::vector<float> sorted = m_samples;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    return *middle;
}

}  // namespace velor
