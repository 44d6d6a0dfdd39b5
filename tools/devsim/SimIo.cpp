#include "SimIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace devsim {

namespace {

std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace

int OpenRegularForWriting(const std::string& path, int flags, std::string& error) {
    const int fd =
        open(path.c_str(),
             O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (flags & O_EXCL), 0666);
    if (fd < 0) {
        error = errno == ELOOP   ? "it is a link, not a regular file"
                : errno == ENXIO ? "it is not a regular file"
                                 : std::strerror(errno);
        return -1;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        error = "it is not a regular file";
        return -1;
    }
    if (((flags & O_TRUNC) != 0 && ftruncate(fd, 0) != 0) || fcntl(fd, F_SETFL, O_WRONLY) != 0) {
        error = std::strerror(errno);
        close(fd);
        return -1;
    }
    return fd;
}

Log::Log(const std::string& path) : m_path(path), m_start(std::chrono::steady_clock::now()) {
    if (!path.empty()) {
        const int fd = OpenRegularForWriting(path, O_TRUNC, m_error);
        if (fd >= 0) {
            m_file.reset(fdopen(fd, "w"));
            if (!m_file) {
                close(fd);
            }
        }
    }
}

void Log::Check(bool written) {
    if (!written) {
        std::fprintf(stderr, "velor-devsim: cannot write the log %s: %s; it ends here\n",
                     m_path.c_str(), std::strerror(errno != 0 ? errno : EIO));
        m_file.reset();
    }
}

void Log::Line(const char* what, const std::string& text) {
    if (!m_file)
        return;
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    errno = 0;
    // Flushed: tests wait on the log while the host still runs.
    Check(std::fprintf(m_file.get(), "%10.6f %s %s\n", t, what, Printable(text).c_str()) >= 0 &&
          std::fflush(m_file.get()) == 0);
}

void Log::Flush() {
    if (m_file) {
        errno = 0;
        Check(std::fflush(m_file.get()) == 0);
    }
}

bool WriteDump(const std::string& path, const std::vector<std::uint8_t>& memory,
               std::string* error) {
    if (path.empty())
        return true;
    std::string reason;
    const auto fail = [&](const std::string& why) {
        if (error != nullptr)
            *error = why;
        return false;
    };
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        return fail(S_ISLNK(st.st_mode) ? "it is a link, not a regular file"
                                        : "it is not a regular file");
    }
    // Written to a new file aside and renamed, so a reader never sees half a dump; the name aside
    // is fresh each time, so nothing planted at a fixed one is written through.
    std::random_device random;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(random()));
        temp = path + suffix;
        fd = OpenRegularForWriting(temp, O_EXCL, reason);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0)
        return fail(reason);
    bool written = false;
    {
        File f(fdopen(fd, "wb"));
        if (!f) {
            close(fd);
        } else {
            written = (memory.empty() ||
                       std::fwrite(memory.data(), 1, memory.size(), f.get()) == memory.size()) &&
                      std::fflush(f.get()) == 0;
            written = std::fclose(f.release()) == 0 && written;
        }
    }
    if (!written || std::rename(temp.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno != 0 ? errno : EIO);
        unlink(temp.c_str());
        return fail(why);
    }
    return true;
}

bool MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace devsim
