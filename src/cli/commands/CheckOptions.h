#pragma once
// The options of velor-flash check.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace velor::cli {

struct CheckOptions {
    std::optional<std::string> file;
    std::optional<std::string> imageOut;
    std::optional<int64_t> size;
    bool help = false;
    bool version = false;
};

// Returns the exit code of a usage error (told on stderr), or nullopt when the options are sound.
std::optional<int> ParseOptions(const Args& args, CheckOptions& options);

// The option table of check, bound to options.
std::unique_ptr<CLI::App> CheckApp(CheckOptions& options);

// The --help of check.
std::string CheckHelp();

}  // namespace velor::cli
