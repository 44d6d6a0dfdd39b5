#include "PtyEndpoint.h"

#include <fcntl.h>
#include <pty.h>
#include <sys/signalfd.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace devsim {

std::unique_ptr<PtyEndpoint> PtyEndpoint::Open(const std::string& link, std::string& error) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        error = std::string("openpty: ") + std::strerror(errno);
        return nullptr;
    }
    Fd slaveFd(slave);
    const char* name = ttyname(slave);
    std::unique_ptr<PtyEndpoint> pty(new PtyEndpoint(master, name ? name : ""));
    if (pty->m_slavePath.empty() || !MakeRaw(slave) ||
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        error = std::string("cannot set up the terminal: ") + std::strerror(errno);
        return nullptr;
    }
    // The host opens the slave itself; while nobody has it open, the master reports a hang-up.
    slaveFd.reset();
    if (!link.empty()) {
        // Only a link is replaced (one an earlier run left): a file kept there stays.
        struct stat st {};
        if (lstat(link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = "cannot link " + link + ": something that is not a link is there";
                return nullptr;
            }
            unlink(link.c_str());
        }
        if (symlink(pty->m_slavePath.c_str(), link.c_str()) != 0) {
            error = "cannot link " + link + ": " + std::strerror(errno);
            return nullptr;
        }
        pty->m_link = link;
    }
    return pty;
}

PtyEndpoint::~PtyEndpoint() {
    if (!m_link.empty()) {
        unlink(m_link.c_str());
    }
}

Fd StopSignalsAsInput() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    return Fd(signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC));
}

}  // namespace devsim
