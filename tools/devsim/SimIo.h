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

// Opens a regular file at path for writing, creating it when missing, never through a link and
// never waiting on a FIFO; -1 with the reason in error otherwise. flags: O_TRUNC or O_EXCL.
int OpenRegularForWriting(const std::string& path, int flags, std::string& error);

// Each line the simulator receives or sends, with the seconds since start; nothing without a path.
// A line that cannot be written is said on stderr once; the log ends there.
class Log {
  public:
    explicit Log(const std::string& path);
    bool Failed(const std::string& path) const { return !path.empty() && !m_file; }
    const std::string& Error() const { return m_error; }
    void Line(const char* what, const std::string& text);
    void Flush();

  private:
    void Check(bool written);

    File m_file;
    std::string m_path;
    std::string m_error;
    std::chrono::steady_clock::time_point m_start;
};

// The memory to path, written to a new file aside and renamed; true without a path. A link or
// anything but a regular file at path is refused (false, the reason in error).
bool WriteDump(const std::string& path, const std::vector<std::uint8_t>& memory,
               std::string* error = nullptr);

// The terminal of fd in raw mode.
bool MakeRaw(int fd);

}  // namespace devsim
