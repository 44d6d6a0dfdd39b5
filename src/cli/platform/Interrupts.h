#pragma once
// Ctrl+C for velor-flash. The first asks the running device operation to stop before its next
// command (it then says what the device holds and velor-flash exits 4); a second one ends the
// process at once with the same code, for a line or a device that no longer answers.

namespace velor::cli {

class InterruptGuard {
  public:
    // Installs the SIGINT handler for the guard's life; main() holds one.
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Whether Ctrl+C has been pressed since the guard was installed.
    static bool Requested();
};

}  // namespace velor::cli
