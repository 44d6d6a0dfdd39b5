#include "cli/text/UiLanguage.h"

namespace velor::cli {

// A POSIX system says its language through the variables alone.
std::string SystemLanguage() {
    return "";
}

}  // namespace velor::cli
