#include "cli/output/AttemptLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace velor::cli {

std::string AttemptLogLine(const FlashAttemptEvent& attempt) {
    return attempt.LogWord + attempt.Frame;
}

std::unique_ptr<AttemptLogFile> AttemptLogFile::Open(const std::string& path, std::string& error) {
    std::string reason;
    OutputFile file = OpenForAppending(path, reason);
    if (!file) {
        error = "cannot open the log file '" + path + "': " + reason;
        return nullptr;
    }
    return std::unique_ptr<AttemptLogFile>(new AttemptLogFile(std::move(file), path));
}

void AttemptLogFile::Line(const std::string& text) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_failed) {
        return;
    }
    errno = 0;
    if (std::fputs(text.c_str(), m_file.get()) < 0 || std::fputc('\n', m_file.get()) == EOF ||
        std::fflush(m_file.get()) != 0) {
        m_failed = true;
        std::fprintf(stderr,
                     "velor-flash: cannot write the log file '%s': %s; the log is incomplete\n",
                     m_path.c_str(), std::strerror(errno != 0 ? errno : EIO));
    }
}

}  // namespace velor::cli
