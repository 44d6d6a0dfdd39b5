#pragma once
// Stop requests for velor-flash: Ctrl+C, SIGTERM and SIGHUP (a closed remote session). The first
// asks the running device operation to stop before its next command (it then says what the
// device holds and velor-flash exits 4); a second one ends the process at once with the same
// code, for a line or a device that no longer answers. A closed output pipe is no reason to leave
// a device half-written: SIGPIPE is ignored, and writes to that output just fail.

#include <string>

namespace velor::cli {

class InterruptGuard {
  public:
    // Installs the handlers for the guard's life; main() holds one around a device command.
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Whether a stop has been requested since the guard was installed.
    static bool Requested();
    // The notice the stop request wrote on stderr, without its line breaks: the same words go
    // into a --json run's "stopping" event.
    static std::string Notice();
};

}  // namespace velor::cli
