#pragma once
// The options of velor-flash check.

#include <cstdint>
#include <optional>
#include <string>

#include "cli/Commands.h"

namespace velor::cli {

extern const char* const kCheckHelp;

struct CheckOptions {
    std::optional<std::string> file;
    std::optional<std::string> imageOut;
    std::optional<int64_t> size;
    bool help = false;
};

// Returns the exit code of a usage error (told on stderr), or nullopt when the options are sound.
std::optional<int> ParseOptions(const Args& args, CheckOptions& options);

}  // namespace velor::cli
