#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "serial/PortWatch.h"
#include "serial/platform/SysfsPortSource.h"

namespace velor {

PortWatch::PortWatch(const std::vector<std::string>& folders)
    : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (m_fd < 0) {
        return;
    }
    bool watching = false;
    for (const auto& folder : folders) {
        watching = ::inotify_add_watch(
                       m_fd, folder.c_str(),
                       IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR) >= 0 ||
                   watching;
    }
    if (!watching) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::unique_ptr<PortWatch> PortWatch::FromSystem() {
    namespace fs = std::filesystem;
    std::vector<std::string> folders = {"/dev", "/dev/serial/by-id"};
    const char* extra = std::getenv("VELOR_EXTRA_PORTS");
    for (const auto& path : posix::SplitExtraPorts(extra != nullptr ? extra : "")) {
        std::error_code ec;
        // A folder's links, or the folder where a named link comes and goes.
        folders.push_back(fs::is_directory(path, ec) ? path
                                                     : fs::path(path).parent_path().string());
    }
    return std::make_unique<PortWatch>(folders);
}

PortWatch::~PortWatch() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool PortWatch::TakeChanges() {
    if (m_fd < 0) {
        return false;
    }
    bool changed = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n > 0) {
            changed = true;
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return changed;
    }
}

}  // namespace velor
