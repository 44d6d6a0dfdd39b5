#pragma once
// The simulator's command line.

#include <optional>
#include <string>
#include <vector>

#include "BootloaderModel.h"
#include "FaultPlan.h"

namespace devsim {

struct Options {
    ModelConfig model;
    std::string link;    // symlink to the pty slave; empty for none
    std::string dump;    // memory dump file; empty for none
    std::string log;     // traffic log file; empty for none
    std::string replay;  // a wire trace whose device side is played; empty: the model answers
    int replyDelayMs = 0;
    int dropFirst = 0;          // the first N frames are lost on the line
    int dropEvery = 0;          // every K-th frame is lost on the line (0: none)
    int garbageEvery = 0;       // every K-th reply is garbled on the line (0: none)
    long baud = 0;              // 0: unpaced
    int adapterLatencyMs = 0;   // replies pass only on ticks of this period, like a USB adapter's
                                // latency timer (0: at once)
    bool leaveAtReset = false;  // the device leaves the line at its first reset frame
    FaultOptions faults;        // seeded random and scripted faults
    bool help = false;
};

extern const char* const kUsage;

// Parses argv[1..]; on a usage error returns nullopt and sets error.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace devsim
