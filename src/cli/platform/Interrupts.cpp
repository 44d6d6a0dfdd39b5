#include "cli/platform/Interrupts.h"

#ifdef _WIN32
#include <io.h>
#define write _write
#define STDERR_FILENO 2
#else
#include <unistd.h>
#endif

#include <csignal>
#include <cstdlib>

#include "cli/Commands.h"
#include "cli/platform/ConsoleText.h"

namespace velor::cli {

namespace {

// A signal handler can only reach a flag with static storage.
volatile std::sig_atomic_t g_interrupts = 0;

// SIGTERM and SIGHUP exist on Windows' CRT only in part; what exists is caught.
constexpr int kStopSignals[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
};

extern "C" void OnInterrupt(int signal) {
    if (g_interrupts != 0) {
        FlushConsoleText();
        std::_Exit(kExitStopped);
    }
    g_interrupts = 1;
    std::signal(signal, OnInterrupt);  // the Windows CRT resets the handler before calling it
    static const char kCtrlC[] =
        "\nvelor-flash: stopping before the next command (Ctrl+C again ends at once)\n";
    static const char kOther[] =
        "\nvelor-flash: stop requested; stopping before the next command\n";
    const bool ctrlC = signal == SIGINT;
    if (write(STDERR_FILENO, ctrlC ? kCtrlC : kOther,
              ctrlC ? sizeof kCtrlC - 1 : sizeof kOther - 1) < 0) {
        // nothing more a signal handler can do
    }
}

}  // namespace

InterruptGuard::InterruptGuard() {
    g_interrupts = 0;
    for (const int s : kStopSignals) {
        std::signal(s, OnInterrupt);
    }
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

InterruptGuard::~InterruptGuard() {
    for (const int s : kStopSignals) {
        std::signal(s, SIG_DFL);
    }
}

bool InterruptGuard::Requested() {
    return g_interrupts != 0;
}

}  // namespace velor::cli
