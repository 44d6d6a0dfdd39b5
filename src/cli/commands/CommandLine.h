#pragma once
// The command line of velor-flash, read by CLI11: every command declares its options on a
// CLI::App (OptionTable.h), and the help, the usage errors and the man pages are all made from
// that one table.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace velor::cli {

// A command's option table: its name ("write"), the usage line and what it does, shown at the top
// of its help, and the lines shown after its options.
struct CommandText {
    const char* name;
    std::string usage;
    std::string about;  // one paragraph, wrapped for the help
    std::string footer;
};

// An app for one command, with -h/--help and --version; the caller adds the options.
std::unique_ptr<CLI::App> MakeCommandApp(const CommandText& text);

enum class ParseEnd {
    Parsed,   // go on with the options set
    Help,     // --help: print HelpText
    Version,  // --version: print VersionLine
    Usage,    // error holds the one line to print on stderr
};

// Reads args (those after the command name) into the options the app was given. A usage error
// leaves one line in error: the problem, a suggestion for a misspelt option, the pointer to help.
ParseEnd ParseCommandLine(CLI::App& app, const Args& args, std::string& error);

// ParseCommandLine into an option struct with help and version flags: false on a usage error.
template <typename Options>
bool ParseInto(CLI::App& app, Options& options, const Args& args, std::string& error) {
    switch (ParseCommandLine(app, args, error)) {
        case ParseEnd::Usage:
            return false;
        case ParseEnd::Help:
            options.help = true;
            break;
        case ParseEnd::Version:
            options.version = true;
            break;
        case ParseEnd::Parsed:
            break;
    }
    return true;
}

// "velor-flash write: PROBLEM (see `velor-flash write --help`)"
std::string UsageErrorLine(const std::string& command, const std::string& problem);

// The help of a command: usage, what it does, every option with its description, the footer.
std::string HelpText(const CLI::App& app);

// text wrapped to the help's width, the first line starting at column, every line after it
// indented to column.
std::string WrapText(const std::string& text, std::size_t column);

// "velor-flash 1.0.0"
std::string VersionLine();

// What --help or --version asked for, on stdout: helpText for help, otherwise the version line.
void PrintHelpOrVersion(bool help, const std::string& helpText);

// The name in candidates nearest to word when it is near enough to be a slip of the fingers.
std::optional<std::string> NearestName(const std::string& word,
                                       const std::vector<std::string>& candidates);

// Whether name (as typed: "--port", "-p") is an option of app that takes a value.
bool TakesValue(const CLI::App& app, const std::string& name);

}  // namespace velor::cli
