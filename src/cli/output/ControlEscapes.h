#pragma once
// Text from outside (a device's description, a HEX line, a process name, USB strings) shown on a
// terminal: its control characters appear as visible escapes instead of acting on the terminal.

#include <string>
#include <string_view>

namespace velor::cli {

// C0 controls but the line feed and tab, DEL, and bytes 0x80-0x9F outside a UTF-8 character as
// \xHH; C1 controls written as
// UTF-8 (U+0080-U+009F) as \u00HH. Everything else, tabs and line feeds included, unchanged.
std::string EscapeControls(std::string_view text);

// The CR LF of the system's texts as plain line feeds, for a terminal.
std::string TerminalText(const std::string& text);

}  // namespace velor::cli
