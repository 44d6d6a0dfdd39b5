#pragma once
// A point in time on the monotonic clock, for the device timeouts.

#include <chrono>
#include <cstdint>
#include <optional>

namespace velor {

class Deadline {
  public:
    using Clock = std::chrono::steady_clock;

    // No limit at all.
    static Deadline Never() { return Deadline(); }
    static Deadline After(std::chrono::nanoseconds span) { return Deadline(Clock::now() + span); }
    // Saturates: a span the clock cannot hold (a multiplier of all bits set times a long count
    // wraps the nanosecond arithmetic into the past) is no limit at all, not an instant one.
    static Deadline AfterMs(uint64_t ms) {
        if (ms > kLongestMs) {
            return Never();
        }
        return After(std::chrono::milliseconds(static_cast<int64_t>(ms)));
    }
    // About 100 years, far inside the clock's range from any present time.
    static constexpr uint64_t kLongestMs = 100ull * 366 * 24 * 3600 * 1000;

    bool IsNever() const { return !m_at.has_value(); }
    bool Expired() const { return m_at.has_value() && Clock::now() >= *m_at; }
    // Time left, never negative; nullopt for Never.
    std::optional<std::chrono::nanoseconds> Remaining() const {
        if (!m_at) {
            return std::nullopt;
        }
        const auto left = *m_at - Clock::now();
        return left > Clock::duration::zero() ? std::chrono::nanoseconds(left)
                                              : std::chrono::nanoseconds::zero();
    }
    // The earlier of two deadlines.
    static Deadline Earlier(const Deadline& a, const Deadline& b) {
        if (!a.m_at)
            return b;
        if (!b.m_at)
            return a;
        return *a.m_at <= *b.m_at ? a : b;
    }

  private:
    Deadline() = default;
    explicit Deadline(Clock::time_point at) : m_at(at) {}
    std::optional<Clock::time_point> m_at;
};

}  // namespace velor
