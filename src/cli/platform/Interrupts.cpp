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
#include <string>

#include "cli/Commands.h"
#include "cli/platform/ConsoleText.h"

namespace velor::cli {

namespace {

// A signal handler can only reach a flag with static storage.
volatile std::sig_atomic_t g_interrupts = 0;
volatile std::sig_atomic_t g_byCtrlC = 0;

// Written by the handler itself, the one thing it can do at once; a line break before and after
// keeps it off a redrawn progress line.
const char kCtrlCNotice[] =
    "\nvelor-flash: stopping before the next command (Ctrl+C again ends at once)\n";
const char kSignalNotice[] = "\nvelor-flash: stop requested; stopping before the next command\n";

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
    const bool ctrlC = signal == SIGINT;
    g_byCtrlC = ctrlC ? 1 : 0;
    g_interrupts = 1;
    std::signal(signal, OnInterrupt);  // the Windows CRT resets the handler before calling it
    if (write(STDERR_FILENO, ctrlC ? kCtrlCNotice : kSignalNotice,
              ctrlC ? sizeof kCtrlCNotice - 1 : sizeof kSignalNotice - 1) < 0) {
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

std::string InterruptGuard::Notice() {
    const std::string text = g_byCtrlC != 0 ? kCtrlCNotice : kSignalNotice;
    return text.substr(1, text.size() - 2);
}

}  // namespace velor::cli
