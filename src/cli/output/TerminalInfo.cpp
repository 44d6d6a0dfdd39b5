#include "cli/output/TerminalInfo.h"

#ifdef _WIN32
#include <windows.h>

#include "cli/platform/ConsoleText.h"
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace velor::cli {

namespace {
constexpr int kDefaultWidth = 80;
}

#ifdef _WIN32
bool IsInteractiveTerminal(std::FILE* stream) {
    const HANDLE handle = ConsoleOf(stream);
    DWORD mode = 0;
    if (handle == nullptr || !GetConsoleMode(handle, &mode)) {
        return false;
    }
    return SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

int TerminalWidth(std::FILE* stream) {
    const HANDLE handle = ConsoleOf(stream);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (handle == nullptr || !GetConsoleScreenBufferInfo(handle, &info)) {
        return kDefaultWidth;
    }
    return info.srWindow.Right - info.srWindow.Left + 1;
}
#else
bool IsInteractiveTerminal(std::FILE* stream) {
    return isatty(fileno(stream)) != 0;
}

int TerminalWidth(std::FILE* stream) {
    struct winsize size {};
    if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0 || size.ws_col == 0) {
        return kDefaultWidth;
    }
    return size.ws_col;
}
#endif

}  // namespace velor::cli
