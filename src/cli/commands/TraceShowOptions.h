#pragma once
// The options of velor-flash trace show FILE [--json].

#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace velor::cli {

struct TraceShowOptions {
    std::string action;  // "show", the one action there is
    std::string file;
    bool json = false;
    bool help = false;
    bool version = false;
};

std::unique_ptr<CLI::App> TraceShowApp(TraceShowOptions& options);
std::string TraceShowHelp();

// On a usage error nullopt, error set to the line to show.
std::optional<TraceShowOptions> ParseTraceShowOptions(const Args& args, std::string& error);

}  // namespace velor::cli
