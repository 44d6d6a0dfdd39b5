#pragma once
// What the program can tell of the terminal a stream goes to.

#include <cstdio>

namespace velor::cli {

// Whether the stream is a terminal that understands the cursor controls of a redrawn line (on
// Windows the console is switched to them).
bool IsInteractiveTerminal(std::FILE* stream);
// Its width in columns; 80 when it cannot be told.
int TerminalWidth(std::FILE* stream);

}  // namespace velor::cli
