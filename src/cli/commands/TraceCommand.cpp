// velor-flash trace show FILE [--json]: what a wire trace holds.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/TraceShowOptions.h"
#include "cli/output/TraceSummary.h"
#include "cli/text/Translate.h"
#include "trace/TraceReader.h"

namespace velor::cli {

int RunTrace(const Args& args) {
    std::string error;
    const auto options = ParseTraceShowOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help || options->version) {
        PrintHelpOrVersion(options->help, TraceShowHelp());
        return kExitDone;
    }
    const bool json = options->json;
    const std::string& file = options->file;
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
                                             Tr("the trace ends here, before the operation's end")})
                         .c_str());
        return kExitRefused;
    }
    return kExitDone;
}

}  // namespace velor::cli
