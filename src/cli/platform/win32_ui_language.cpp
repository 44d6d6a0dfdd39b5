#include <windows.h>

#include "cli/text/UiLanguage.h"

namespace velor::cli {

std::string SystemLanguage() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_UKRAINIAN ? "uk" : "";
}

}  // namespace velor::cli
