#include "ProgramRun.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Spawn.h"

namespace velor::testing {

ProgramRun::ProgramRun(std::vector<std::string> args) {
    int out[2], err[2];
    if (pipe(out) != 0) {
        return;
    }
    if (pipe(err) != 0) {
        close(out[0]);
        close(out[1]);
        return;
    }
    m_pid = Spawn(std::move(args), out[1], err[1]);
    close(out[1]);
    close(err[1]);
    m_outReader = std::thread(&ProgramRun::Drain, this, out[0], &m_result.out);
    m_errReader = std::thread(&ProgramRun::Drain, this, err[0], &m_result.err);
}

ProgramRun::~ProgramRun() {
    Wait();
}

void ProgramRun::Interrupt() const {
    Signal(SIGINT);
}

void ProgramRun::Signal(int signalNumber) const {
    if (m_pid > 0) {
        kill(m_pid, signalNumber);
    }
}

std::string ProgramRun::Out() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_result.out;
}

RunResult ProgramRun::Wait() {
    if (m_outReader.joinable()) {
        m_outReader.join();
    }
    if (m_errReader.joinable()) {
        m_errReader.join();
    }
    if (m_pid > 0) {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        m_pid = -1;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_result;
}

void ProgramRun::Drain(int fd, std::string* into) {
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        into->append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
}

}  // namespace velor::testing
