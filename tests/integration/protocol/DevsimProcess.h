#pragma once
// velor-devsim as a child process for one test: started with the given options, serving on the
// pty it prints; stopped (SIGTERM, then waited for) when the object goes.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace velor::testing {

class DevsimProcess {
  public:
    // Starts velor-devsim with args plus --dump and --log files in a fresh folder.
    explicit DevsimProcess(std::vector<std::string> args);
    ~DevsimProcess();
    DevsimProcess(const DevsimProcess&) = delete;
    DevsimProcess& operator=(const DevsimProcess&) = delete;

    const std::string& Path() const { return m_path; }
    pid_t Pid() const { return m_pid; }
    // Ends the simulator at once (SIGKILL): the line vanishes under the host.
    void Kill();
    // Stops it where it stands (SIGSTOP): the line stays open, nothing is read or answered.
    void Freeze();
    // Ends it politely and returns its exit status; the dump is then final.
    int Stop();

    std::vector<uint8_t> Dump() const;
    // The log lines whose kind ("rx", "tx", "lost", "refused") is given.
    std::vector<std::string> LogLines(const std::string& kind) const;

  private:
    std::string m_dir;
    std::string m_path;
    pid_t m_pid = -1;
    bool m_frozen = false;
};

}  // namespace velor::testing
