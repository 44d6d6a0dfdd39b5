#include "cli/platform/ConsoleText.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

namespace velor::cli {

namespace {

HANDLE g_console = nullptr;       // where the pump writes
HANDLE g_pipeRead = nullptr;      // what the pump reads
int g_savedFd[3] = {-1, -1, -1};  // the console's own descriptors for stdout and stderr
std::thread g_pump;
std::atomic<bool> g_writing{false};

HANDLE ConsoleHandle(int fd) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

// The length of text's start that ends on a whole UTF-8 character; a cut sequence waits for
// the next read. Invalid bytes pass (the conversion shows them as U+FFFD).
std::size_t WholeCharacters(const std::string& text) {
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80) {
            continue;  // a continuation byte: look further back for the lead
        }
        const std::size_t need = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return need > back ? size - back : size;
    }
    return size;
}

void WriteWide(const std::string& utf8) {
    if (utf8.empty()) {
        return;
    }
    std::wstring wide(utf8.size(), L'\0');
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                          wide.data(), static_cast<int>(wide.size()));
    DWORD written = 0;
    if (count > 0) {
        WriteConsoleW(g_console, wide.data(), static_cast<DWORD>(count), &written, nullptr);
    }
}

void Pump() {
    std::string pending;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(g_pipeRead, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        g_writing = true;
        pending.append(chunk, got);
        const std::size_t whole = WholeCharacters(pending);
        WriteWide(pending.substr(0, whole));
        pending.erase(0, whole);
        g_writing = false;
    }
    WriteWide(pending);
}

}  // namespace

ConsoleText::ConsoleText() {
    const HANDLE out = ConsoleHandle(1);
    const HANDLE err = ConsoleHandle(2);
    g_console = out != nullptr ? out : err;
    if (g_console == nullptr) {
        return;
    }
    HANDLE pipeWrite = nullptr;
    if (!CreatePipe(&g_pipeRead, &pipeWrite, nullptr, 0)) {
        g_console = nullptr;
        return;
    }
    const int writeFd = _open_osfhandle(reinterpret_cast<intptr_t>(pipeWrite), _O_BINARY);
    std::fflush(stdout);
    std::fflush(stderr);
    for (const int fd : {1, 2}) {
        if ((fd == 1 ? out : err) != nullptr) {
            g_savedFd[fd] = _dup(fd);
            if (g_savedFd[fd] >= 0 && _dup2(writeFd, fd) != 0) {
                _close(g_savedFd[fd]);
                g_savedFd[fd] = -1;
            }
        }
    }
    _close(writeFd);
    if (g_savedFd[1] < 0 && g_savedFd[2] < 0) {
        CloseHandle(g_pipeRead);
        g_pipeRead = nullptr;
        g_console = nullptr;
        return;
    }
    // The console's handle now lives on in the saved descriptor only.
    g_console = reinterpret_cast<HANDLE>(_get_osfhandle(g_savedFd[g_savedFd[1] >= 0 ? 1 : 2]));
    // On a console each call was written at once; a pipe would otherwise be buffered.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    g_pump = std::thread(Pump);
}

ConsoleText::~ConsoleText() {
    if (!g_pump.joinable()) {
        return;
    }
    std::fflush(stdout);
    std::fflush(stderr);
    for (const int fd : {1, 2}) {
        if (g_savedFd[fd] >= 0) {
            _dup2(g_savedFd[fd], fd);  // closes the pipe's end: the pump reads to its end
            _close(g_savedFd[fd]);
            g_savedFd[fd] = -1;
        }
    }
    g_pump.join();
    CloseHandle(g_pipeRead);
    g_pipeRead = nullptr;
    g_console = nullptr;
}

void* ConsoleOf(std::FILE* stream) {
    const int fd = _fileno(stream);
    if ((fd == 1 || fd == 2) && g_savedFd[fd] >= 0) {
        return g_console;
    }
    return fd >= 0 ? ConsoleHandle(fd) : nullptr;
}

void FlushConsoleText() noexcept {
    if (g_pipeRead == nullptr) {
        return;
    }
    for (int i = 0; i < 40; ++i) {
        DWORD waiting = 0;
        if (!PeekNamedPipe(g_pipeRead, nullptr, 0, nullptr, &waiting, nullptr) ||
            (waiting == 0 && !g_writing)) {
            return;
        }
        Sleep(5);
    }
}

}  // namespace velor::cli
