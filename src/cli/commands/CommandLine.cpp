#include "cli/commands/CommandLine.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "cli/text/Translate.h"

namespace velor::cli {

namespace {

constexpr std::size_t kHelpWidth = 88;
constexpr std::size_t kWidestNameColumn = 22;

// Every name the app knows, as typed: "--port", "-p".
std::vector<std::string> OptionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* option : app.get_options()) {
        for (const auto& name : option->get_lnames()) {
            names.push_back("--" + name);
        }
        for (const auto& name : option->get_snames()) {
            names.push_back("-" + name);
        }
    }
    return names;
}

std::string ProblemOfExtra(const CLI::App& app, const std::string& extra) {
    if (extra.size() < 2 || extra[0] != '-') {
        return Tr("unexpected argument '") + extra + "'";
    }
    // "--prot=x" is misspelt in its name only.
    const std::string name = extra.substr(0, extra.find('='));
    std::string problem = Tr("unknown option '") + name + "'";
    if (const auto nearest = NearestName(name, OptionNames(app))) {
        problem += Tr(", did you mean '") + *nearest + "'?";
    }
    return problem;
}

// CLI11's own wording of a value that is missing or repeated, as one of ours.
std::string ProblemOfMismatch(const std::string& what) {
    const std::string name = what.substr(0, what.find(':'));
    if (what.find("missing") != std::string::npos) {
        return Tr("option '") + name + Tr("' needs a value");
    }
    return Tr("option '") + name + Tr("' may be given once");
}

// "-p, --port P" or "FILE".
std::string NamesOf(const CLI::Option& option) {
    if (option.get_lnames().empty() && option.get_snames().empty()) {
        return option.get_name();
    }
    std::string names;
    for (const auto& name : option.get_snames()) {
        names += (names.empty() ? "-" : ", -") + name;
    }
    for (const auto& name : option.get_lnames()) {
        names += (names.empty() ? "--" : ", --") + name;
    }
    if (option.get_items_expected_max() > 0 && !option.get_type_name().empty()) {
        names += " " + option.get_type_name();
    }
    return names;
}

// The columns a UTF-8 word takes: one per character, not per byte (a Ukrainian help).
std::size_t Columns(const std::string& word) {
    return static_cast<std::size_t>(std::count_if(word.begin(), word.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string WithNewline(std::string text) {
    if (!text.empty() && text.back() != '\n') {
        text += '\n';
    }
    return text;
}

}  // namespace

std::string WrapText(const std::string& text, std::size_t column) {
    std::string out;
    std::size_t lineLength = column;
    std::size_t begin = 0;
    while (begin < text.size()) {
        if (text[begin] == '\n') {
            out += "\n" + std::string(column, ' ');
            lineLength = column;
            ++begin;
            continue;
        }
        const std::size_t end = std::min(text.find_first_of(" \n", begin), text.size());
        const std::string word = text.substr(begin, end - begin);
        if (lineLength > column && lineLength + 1 + Columns(word) > kHelpWidth) {
            out += "\n" + std::string(column, ' ');
            lineLength = column;
        } else if (lineLength > column) {
            out += ' ';
            ++lineLength;
        }
        out += word;
        lineLength += Columns(word);
        begin = end < text.size() && text[end] == ' ' ? end + 1 : end;
    }
    return out;
}

std::unique_ptr<CLI::App> MakeCommandApp(const CommandText& text) {
    // The text of what the command does is one paragraph, wrapped to the help's width.
    std::string about = text.about;
    std::replace(about.begin(), about.end(), '\n', ' ');
    auto app = std::make_unique<CLI::App>(WithNewline(text.usage) + WithNewline(WrapText(about, 0)),
                                          std::string("velor-flash ") + text.name);
    app->set_help_flag("-h,--help", Tr("show this help"));
    app->set_version_flag("--version", VersionLine(), Tr("show the program's version"));
    app->footer(text.footer);
    app->allow_extras();  // told by ParseCommandLine, with a suggestion
    return app;
}

std::string UsageErrorLine(const std::string& command, const std::string& problem) {
    return command + ": " + problem + Tr(" (see `") + command + " --help`)";
}

ParseEnd ParseCommandLine(CLI::App& app, const Args& args, std::string& error) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        return ParseEnd::Help;
    } catch (const CLI::CallForVersion&) {
        return ParseEnd::Version;
    } catch (const CLI::ArgumentMismatch& e) {
        error = UsageErrorLine(app.get_name(), ProblemOfMismatch(e.what()));
        return ParseEnd::Usage;
    } catch (const CLI::ParseError& e) {
        error = UsageErrorLine(app.get_name(), e.what());
        return ParseEnd::Usage;
    }
    const auto extras = app.remaining();
    if (!extras.empty()) {
        error = UsageErrorLine(app.get_name(), ProblemOfExtra(app, extras.front()));
        return ParseEnd::Usage;
    }
    return ParseEnd::Parsed;
}

std::string HelpText(const CLI::App& app) {
    std::vector<std::pair<std::string, std::string>> rows;
    std::size_t widest = 0;
    // The command's own options first, then --help and --version.
    std::vector<const CLI::Option*> options;
    for (const CLI::Option* option : app.get_options()) {
        if (option != app.get_help_ptr() && option != app.get_version_ptr()) {
            options.push_back(option);
        }
    }
    options.push_back(app.get_help_ptr());
    options.push_back(app.get_version_ptr());
    for (const CLI::Option* option : options) {
        rows.emplace_back(NamesOf(*option), option->get_description());
        widest = std::max(widest, rows.back().first.size());
    }
    const std::size_t column = std::min(widest + 4, kWidestNameColumn);
    std::string text = app.get_description();
    for (const auto& [names, description] : rows) {
        std::string row = "  " + names;
        if (row.size() + 2 > column) {
            row += "\n" + std::string(column, ' ');
        } else {
            row += std::string(column - row.size(), ' ');
        }
        text += row + WrapText(description, column) + "\n";
    }
    return text + WithNewline(app.get_footer());
}

std::string VersionLine() {
    return std::string("velor-flash ") + VELOR_VERSION;
}

void PrintHelpOrVersion(bool help, const std::string& helpText) {
    std::fputs(help ? helpText.c_str() : (VersionLine() + "\n").c_str(), stdout);
}

std::optional<std::string> NearestName(const std::string& word,
                                       const std::vector<std::string>& candidates) {
    // Edit distance (one insertion, deletion, change or swap of neighbours each counts one).
    const auto distance = [](const std::string& a, const std::string& b) {
        std::vector<std::vector<std::size_t>> d(a.size() + 1,
                                                std::vector<std::size_t>(b.size() + 1));
        for (std::size_t i = 0; i <= a.size(); ++i) {
            d[i][0] = i;
        }
        for (std::size_t j = 0; j <= b.size(); ++j) {
            d[0][j] = j;
        }
        for (std::size_t i = 1; i <= a.size(); ++i) {
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
                d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
                if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                    d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
                }
            }
        }
        return d[a.size()][b.size()];
    };
    std::optional<std::string> best;
    std::size_t bestDistance = 0;
    for (const std::string& candidate : candidates) {
        const std::size_t dist = distance(word, candidate);
        // Two slips in a long name, one in a short one; never the whole name.
        const std::size_t allowed = candidate.size() > 5 ? 2 : 1;
        if (dist <= allowed && dist < candidate.size() && (!best || dist < bestDistance)) {
            best = candidate;
            bestDistance = dist;
        }
    }
    return best;
}

bool TakesValue(const CLI::App& app, const std::string& name) {
    const CLI::Option* option = app.get_option_no_throw(name);
    return option != nullptr && option->get_items_expected_max() > 0;
}

}  // namespace velor::cli
