#pragma once
// The device's side of a recorded wire trace: for each frame the host sent, in order, what came
// back and when, and where the device left the line. Read by the simulator's own reader: it
// shares nothing with the host's code but a general JSON parser.

#include <string>
#include <vector>

#include "BootloaderModel.h"

namespace devsim {

struct ReplayAnswer {
    long delayUs = 0;   // after the frame has arrived whole
    std::string bytes;  // empty with unplug
    bool unplug = false;
};

struct ReplayStep {
    long line = 0;      // of the frame in the trace
    std::string frame;  // as the host wrote it
    std::vector<ReplayAnswer> answers;
};

struct ReplayScript {
    std::vector<ReplayStep> steps;
};

// Reads the trace at path for a device of the given geometry. False with error set to
// "LINE: what is wrong" (no line for the file as a whole).
bool LoadReplayScript(const std::string& path, const Geometry& geometry, ReplayScript& script,
                      std::string& error);
// The same from the trace's text.
bool ParseReplayScript(const std::string& text, const Geometry& geometry, ReplayScript& script,
                       std::string& error);

}  // namespace devsim
