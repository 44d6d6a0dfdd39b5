#pragma once
// velor-flash's manual page, made from the same option tables as its --help: the hand-written
// sections come from a roff source in which two lines stand for what the tables give.

#include <string>

namespace velor::cli {

// Text as roff: backslashes, hyphens and a leading dot or quote escaped.
std::string RoffEscape(const std::string& text);

// prose with its line "@SYNOPSIS@" replaced by every command's usage and its line "@COMMANDS@"
// by a COMMANDS section: each command's summary, what it does, every option with its
// description, and the notes after its options.
std::string ManPage(const std::string& prose);

}  // namespace velor::cli
