#pragma once
// Fine timers for as long as a device operation runs: every exchange sleeps its calibrated delay
// and every read ends by a 1 ms gap timer. Windows rounds each such wait up to its timer tick
// (15.6 ms unless a program asks for 1 ms); Linux adds a 50 us slack to each. Made before the
// operation's threads start (they inherit the slack), undone when it ends.

namespace velor {

class TimerPrecision {
  public:
    TimerPrecision();
    ~TimerPrecision();
    TimerPrecision(const TimerPrecision&) = delete;
    TimerPrecision& operator=(const TimerPrecision&) = delete;

  private:
    unsigned long m_previous = 0;  // Linux: the thread's slack before, in nanoseconds
    bool m_raised = false;
};

}  // namespace velor
