#pragma once
// The progress of a write as text: one line redrawn in place on a terminal, plain lines (at most
// one a second) otherwise.

#include <optional>
#include <string>

#include "cli/output/WriteProgress.h"

namespace velor::cli {

// "1:05", "12:00:03": whole seconds.
std::string FormatDuration(double seconds);

// Seconds left at the rate so far; nothing before the first byte or without a total.
std::optional<double> EstimateRemaining(const WriteProgress& progress, double writingSeconds);

struct ProgressTimes {
    double Elapsed = 0;               // since the operation began
    std::optional<double> Remaining;  // estimate
};

// The terminal's line, at most width columns (counted in characters), the bar in green unless
// colour is off: "[#####.....]  45%  page 29/64  block 3/16  29,696/65,536 B  0:08  ETA 0:10
// delays 0.0.0".
std::string FormatProgressLine(const WriteProgress& progress, const ProgressTimes& times, int width,
                               bool colour);
// The terminal's line while the device is being woken and identified.
std::string FormatIdentifyingLine(const std::string& port, double elapsed);
// A plain line for a log or a pipe.
std::string FormatPlainProgress(const WriteProgress& progress, const ProgressTimes& times);

// Whether NO_COLOR asks for no colour: set and not empty.
bool NoColorRequested(const char* noColorValue);

// Lets a line through at most once per interval (seconds).
class ProgressThrottle {
  public:
    explicit ProgressThrottle(double interval = 1.0) : m_interval(interval) {}
    bool Due(double now) {
        if (m_last.has_value() && now - *m_last < m_interval) {
            return false;
        }
        m_last = now;
        return true;
    }
    // Starts the interval afresh (something else was just let through).
    void Restart(double now) { m_last = now; }

  private:
    double m_interval;
    std::optional<double> m_last;
};

}  // namespace velor::cli
