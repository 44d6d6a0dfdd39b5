#pragma once
// What velor-devsim keeps of the outside world: descriptors, the exchange log, the memory dump
// and the raw terminal mode.

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace devsim {

// Owns a file descriptor.
class Fd {
  public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = fd;
    }

  private:
    int m_fd;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Each line the simulator receives or sends, with the seconds since start; nothing without a path.
class Log {
  public:
    explicit Log(const std::string& path);
    bool Failed(const std::string& path) const { return !path.empty() && !m_file; }
    void Line(const char* what, const std::string& text);
    void Flush();

  private:
    File m_file;
    std::chrono::steady_clock::time_point m_start;
};

// The memory to path, written aside and renamed; true without a path.
bool WriteDump(const std::string& path, const std::vector<std::uint8_t>& memory);

// The terminal of fd in raw mode.
bool MakeRaw(int fd);

}  // namespace devsim
