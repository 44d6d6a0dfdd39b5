// velor-flash trace show FILE [--json]: what a wire trace holds.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/output/TraceSummary.h"
#include "trace/TraceReader.h"

namespace velor::cli {

namespace {

constexpr const char* kTraceUsage =
    "Usage: velor-flash trace show FILE [--json]\n"
    "Tells what a wire trace (--trace of detect, write, reset, station; the window's traces)\n"
    "holds: device, adapter, duration, pages, attempts by kind, the calibration's course, the\n"
    "slowest exchanges, the port errors, the outcome and its message.\n"
    "  --json   the same as one JSON object on stdout\n"
    "Exit codes: 0 read, 1 the trace is unreadable past a line or cut off, 2 usage.\n";

}  // namespace

int RunTrace(const Args& args) {
    bool json = false;
    std::string file;
    bool show = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kTraceUsage, stdout);
            return kExitDone;
        }
        if (i == 0 && a == "show") {
            show = true;
        } else if (a == "--json") {
            json = true;
        } else if (show && file.empty() && !a.empty() && a[0] != '-') {
            file = a;
        } else {
            std::fprintf(stderr, "velor-flash: unexpected '%s'\n%s", a.c_str(), kTraceUsage);
            return kExitUsage;
        }
    }
    if (!show || file.empty()) {
        std::fprintf(stderr, "velor-flash: trace show needs a FILE\n%s", kTraceUsage);
        return kExitUsage;
    }
    const TraceReading reading = ReadTraceFile(file);
    if (reading.problem) {
        std::fprintf(stderr, "velor-flash: %s\n", TraceProblemText(file, *reading.problem).c_str());
        return kExitRefused;
    }
    const std::string summary =
        json ? TraceSummaryJson(reading.content) : TraceSummaryText(reading.content);
    std::fputs(summary.c_str(), stdout);
    if (reading.cutOff()) {
        std::fprintf(stderr, "velor-flash: %s\n",
                     TraceProblemText(file, {reading.content.lines,
                                             "the trace ends here, before the operation's end"})
                         .c_str());
        return kExitRefused;
    }
    return kExitDone;
}

}  // namespace velor::cli
