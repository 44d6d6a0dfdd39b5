#pragma once
// Windows consoles show UTF-8 bytes as code-page characters, and the C runtime cuts text into
// single bytes on the way. main() holds one ConsoleText for the run: while it lives, what the
// program writes to stdout or stderr through stdio or iostreams, where that stream is a console,
// goes through a pipe to a thread that hands whole characters to WriteConsoleW. Nothing about
// the console is changed, so there is nothing to put back however the process ends. Pipes and
// files get the same UTF-8 bytes as before. Elsewhere terminals read UTF-8: all of it is a no-op.

#include <cstdio>

namespace velor::cli {

#ifdef _WIN32

class ConsoleText {
  public:
    ConsoleText();
    // Writes out what is still on its way, then gives the streams their console back.
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;
};

// The console the stream shows on (a HANDLE), or nullptr when it goes to none.
void* ConsoleOf(std::FILE* stream);

// Waits a moment for text already written to reach the console; for a process about to end
// at once (safe from a stop handler).
void FlushConsoleText() noexcept;

#else

class ConsoleText {
  public:
    ~ConsoleText() {}  // not trivial: main() holds one it never names again
};

inline void FlushConsoleText() noexcept {}

#endif

}  // namespace velor::cli
