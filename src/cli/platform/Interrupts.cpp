#include "cli/platform/Interrupts.h"

#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "cli/Commands.h"

namespace velor::cli {

namespace {

// A signal handler can only reach a flag with static storage.
volatile std::sig_atomic_t g_interrupts = 0;

extern "C" void OnInterrupt(int) {
    if (g_interrupts != 0) {
        std::_Exit(kExitStopped);
    }
    g_interrupts = 1;
    std::signal(SIGINT, OnInterrupt);  // the Windows CRT resets the handler before calling it
    static const char kNotice[] =
        "\nvelor-flash: stopping before the next command (Ctrl+C again ends at once)\n";
    if (write(STDERR_FILENO, kNotice, sizeof kNotice - 1) < 0) {
        // nothing more a signal handler can do
    }
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_interrupts = 0;
    std::signal(SIGINT, OnInterrupt);
}

InterruptGuard::~InterruptGuard() {
    std::signal(SIGINT, SIG_DFL);
}

bool InterruptGuard::Requested() {
    return g_interrupts != 0;
}

}  // namespace velor::cli
