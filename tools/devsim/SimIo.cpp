#include "SimIo.h"

#include <termios.h>

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

Log::Log(const std::string& path) : m_start(std::chrono::steady_clock::now()) {
    if (!path.empty()) {
        m_file.reset(std::fopen(path.c_str(), "w"));
    }
}

void Log::Line(const char* what, const std::string& text) {
    if (!m_file)
        return;
    const double t =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    std::fprintf(m_file.get(), "%10.6f %s %s\n", t, what, Printable(text).c_str());
    std::fflush(m_file.get());  // tests wait on the log while the host still runs
}

void Log::Flush() {
    if (m_file)
        std::fflush(m_file.get());
}

bool WriteDump(const std::string& path, const std::vector<std::uint8_t>& memory) {
    if (path.empty())
        return true;
    // Written aside and renamed, so a reader never sees half a dump.
    const std::string temp = path + ".tmp";
    {
        File f(std::fopen(temp.c_str(), "wb"));
        if (!f)
            return false;
        if (!memory.empty() &&
            std::fwrite(memory.data(), 1, memory.size(), f.get()) != memory.size()) {
            return false;
        }
        if (std::fflush(f.get()) != 0)
            return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

bool MakeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

}  // namespace devsim
