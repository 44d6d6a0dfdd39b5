#include "cli/commands/TraceShowOptions.h"

#include <CLI/CLI.hpp>

#include "cli/commands/CommandLine.h"
#include "cli/text/Translate.h"

namespace velor::cli {

std::unique_ptr<CLI::App> TraceShowApp(TraceShowOptions& options) {
    auto app = MakeCommandApp(
        {"trace", Tr("Usage: velor-flash trace show FILE [--json]"),
         Tr("Tells what a wire trace (--trace of detect, write, reset, station; the window's "
            "traces) holds: device, adapter, duration, pages, attempts by kind, the calibration's "
            "course, the slowest exchanges, the port errors, the outcome and its message."),
         Tr("Exit codes: 0 read, 1 the trace is unreadable past a line or cut off, 2 usage.\n")});
    app->add_option("action", options.action, Tr("show"))
        ->required()
        ->check(CLI::IsMember({"show"}))
        ->type_name("ACTION");
    app->add_option("file", options.file, Tr("the trace file"))->required()->type_name("FILE");
    app->add_flag("--json", options.json, Tr("the same as one JSON object on stdout"));
    return app;
}

std::string TraceShowHelp() {
    TraceShowOptions options;
    return HelpText(*TraceShowApp(options));
}

std::optional<TraceShowOptions> ParseTraceShowOptions(const Args& args, std::string& error) {
    TraceShowOptions options;
    const auto app = TraceShowApp(options);
    if (!ParseInto(*app, options, args, error)) {
        return std::nullopt;
    }
    return options;
}

}  // namespace velor::cli
