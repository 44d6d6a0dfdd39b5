#pragma once
// A program running as a child with its output gathered as it comes, so that a test can act on
// what it has done so far, interrupt it, and read everything it said once it has ended.

#include <sys/types.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velor::testing {

struct RunResult {
    int code = -1;
    std::string out;
    std::string err;
};

class ProgramRun {
  public:
    // args[0] is the program's path.
    explicit ProgramRun(std::vector<std::string> args);
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    void Interrupt() const;  // SIGINT, as Ctrl+C
    void Signal(int signalNumber) const;
    pid_t Pid() const { return m_pid; }
    std::string Out();
    RunResult Wait();

  private:
    void Drain(int fd, std::string* into);

    pid_t m_pid = -1;
    std::mutex m_mutex;
    RunResult m_result;
    std::thread m_outReader;
    std::thread m_errReader;
};

}  // namespace velor::testing
