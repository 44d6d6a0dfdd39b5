#pragma once
// How long the device's flashing replies took to reach the host, measured during a write on the
// attempts read without a calibrated wait: the read's time less the reply's own line time and
// the gap that ends the read. A USB adapter that holds received bytes until its latency timer
// fires shows here as a median of several ms.

#include <cstdint>
#include <optional>
#include <vector>

namespace velor {

class ReplyLatency {
  public:
    // One accepted reply: the read took readMs for replyBytes at baud.
    void Add(double readMs, std::size_t replyBytes, uint32_t baud);
    std::optional<double> MedianMs() const;  // none before the first reply
    std::size_t Count() const { return m_samples.size(); }

  private:
    std::vector<float> m_samples;
};

}  // namespace velor
