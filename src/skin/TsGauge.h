#pragma once
// The percentage gauge's model, free of any toolkit: the window paints it, the operations drive it.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velor {

// Raised when a gauge is given a maximum below its minimum ("Value must be between %d and %d").
class ERangeError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class TsGauge {
  public:
    int64_t MinValue() const { return m_min; }
    int64_t MaxValue() const { return m_max; }
    int64_t Progress() const { return m_progress; }

    // Refuses a minimum above the maximum; raises Progress to the new minimum when needed.
    void SetMinValue(int64_t value);
    // Refuses a maximum below the minimum with ERangeError (MinValue + 1 .. 2147483647);
    // lowers Progress with it.
    void SetMaxValue(int64_t value);
    // Held within MinValue..MaxValue.
    void SetProgress(int64_t value);
    void AddProgress(int64_t delta);

    // 100 * (Progress - Min) / (Max - Min), rounded half to even; 0 on a zero range.
    int Percent() const;
    // Percent() followed by "%": what the gauge shows centred in its bar.
    std::string Text() const;

  private:
    int64_t m_min = 0;
    int64_t m_max = 100;
    int64_t m_progress = 0;
};

}  // namespace velor
