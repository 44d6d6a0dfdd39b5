#pragma once
// Which language the operator reads: the first of LANGUAGE, LC_ALL, LC_MESSAGES and LANG that is
// set decides; when none is, the system's own choice (on Windows the user's display language).

#include <functional>
#include <string>

namespace velor::cli {

// "uk" or "en": the language of the first setting that names one. LANGUAGE may list several
// ("uk:en"); its first entry counts. "C", "POSIX" or an unknown language give "en".
// variable: the value of an environment variable, or nullptr when it is not set.
std::string LanguageOf(const std::function<const char*(const char* name)>& variable);

// The same from this process's environment, then from the system when no variable is set.
std::string OperatorLanguage();

// The system's choice when no variable names a language ("" when it has none). One file per
// platform.
std::string SystemLanguage();

}  // namespace velor::cli
