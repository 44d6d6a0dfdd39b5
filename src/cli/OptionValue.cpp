#include "cli/Commands.h"

namespace velor::cli {

const std::string* TakeOptionValue(const Args& args, std::size_t& i, std::string& error) {
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        error = "option '" + args[i] + "' needs a value";
        return nullptr;
    }
    return &args[++i];
}

}  // namespace velor::cli
