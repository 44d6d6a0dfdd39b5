#include "cli/text/ManPage.h"

#include <CLI/CLI.hpp>
#include <sstream>

#include "cli/commands/CommandTable.h"

namespace velor::cli {

namespace {

// One paragraph from the help's lines, which were broken for the terminal's width.
std::string Paragraph(const std::string& text) {
    std::string out;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto begin = line.find_first_not_of(' ');
        if (begin == std::string::npos) {
            continue;
        }
        out += (out.empty() ? "" : " ") + line.substr(begin);
    }
    return out;
}

// "\fB\-p\fR, \fB\-\-port\fR \fIP\fR" or "\fIFILE\fR".
std::string OptionTag(const CLI::Option& option) {
    std::string tag;
    for (const auto& name : option.get_snames()) {
        tag += (tag.empty() ? "" : ", ") + std::string("\\fB") + RoffEscape("-" + name) + "\\fR";
    }
    for (const auto& name : option.get_lnames()) {
        tag += (tag.empty() ? "" : ", ") + std::string("\\fB") + RoffEscape("--" + name) + "\\fR";
    }
    const bool positional = tag.empty();
    if (positional || (option.get_items_expected_max() > 0 && !option.get_type_name().empty())) {
        const std::string value =
            option.get_type_name().empty() ? option.get_name() : option.get_type_name();
        tag += (positional ? "" : " ") + std::string("\\fI") + RoffEscape(value) + "\\fR";
    }
    return tag;
}

// The usage of an app: its description's lines up to the first that is no usage line.
std::vector<std::string> UsageLines(const CLI::App& app) {
    std::vector<std::string> usage;
    std::istringstream lines(app.get_description());
    std::string line;
    const std::string prefix = "Usage: ";
    while (std::getline(lines, line)) {
        if (line.starts_with(prefix)) {
            usage.push_back(line.substr(prefix.size()));
        } else if (!usage.empty() && line.starts_with("   ")) {
            usage.back() += " " + line.substr(line.find_first_not_of(' '));
        } else {
            break;
        }
    }
    return usage;
}

std::string AboutOf(const CLI::App& app) {
    std::istringstream lines(app.get_description());
    std::string line;
    std::string about;
    bool inUsage = true;
    while (std::getline(lines, line)) {
        if (inUsage && (line.starts_with("Usage: ") || line.starts_with("   "))) {
            continue;
        }
        inUsage = false;
        about += line + "\n";
    }
    return Paragraph(about);
}

std::string Synopsis(const AllCommandApps& apps) {
    std::string roff;
    for (const auto& app : apps.Apps()) {
        for (const std::string& usage : UsageLines(*app)) {
            roff += (roff.empty() ? "" : ".br\n") + RoffEscape(usage) + "\n";
        }
    }
    return roff;
}

std::string Commands(const AllCommandApps& apps) {
    std::string roff = ".SH COMMANDS\n";
    for (const auto& entry : CommandEntries()) {
        roff += ".SS " + RoffEscape(entry.name) + "\n" + RoffEscape(entry.summary) + ".\n";
        for (const auto& app : apps.Apps()) {
            if (app->get_name() != std::string("velor-flash ") + entry.name) {
                continue;
            }
            roff +=
                ".PP\n.B " +
                RoffEscape(UsageLines(*app).empty() ? app->get_name() : UsageLines(*app).front()) +
                "\n.PP\n" + RoffEscape(AboutOf(*app)) + "\n";
            for (const CLI::Option* option : app->get_options()) {
                if (option == app->get_help_ptr() || option == app->get_version_ptr()) {
                    continue;
                }
                roff += ".TP\n" + OptionTag(*option) + "\n" +
                        RoffEscape(option->get_description()) + "\n";
            }
            roff += ".PP\n" + RoffEscape(Paragraph(app->get_footer())) + "\n";
        }
    }
    return roff;
}

}  // namespace

std::string RoffEscape(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) {
            out += "\\&";
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
        lineStart = c == '\n';
    }
    return out;
}

std::string ManPage(const std::string& prose) {
    const AllCommandApps apps;
    std::string page;
    std::istringstream lines(prose);
    std::string line;
    while (std::getline(lines, line)) {
        if (line == "@SYNOPSIS@") {
            page += Synopsis(apps);
        } else if (line == "@COMMANDS@") {
            page += Commands(apps);
        } else {
            page += line + "\n";
        }
    }
    return page;
}

}  // namespace velor::cli
