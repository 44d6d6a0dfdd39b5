#include "cli/text/UiLanguage.h"

#include <cstdlib>

namespace velor::cli {

namespace {

// "uk_UA.UTF-8", "uk:en" or "uk" -> "uk".
std::string LanguagePart(const std::string& value) {
    const std::string first = value.substr(0, value.find(':'));
    return first.substr(0, first.find_first_of("_.@"));
}

}  // namespace

std::string LanguageOf(const std::function<const char*(const char* name)>& variable) {
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = variable(name);
        if (value != nullptr && *value != '\0') {
            return LanguagePart(value) == "uk" ? "uk" : "en";
        }
    }
    return "";
}

std::string OperatorLanguage() {
    std::string language = LanguageOf([](const char* name) { return std::getenv(name); });
    if (language.empty()) {
        language = SystemLanguage();
    }
    return language == "uk" ? "uk" : "en";
}

}  // namespace velor::cli
