#include "cli/AttemptLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "protocol/DeviceLink.h"

namespace velor::cli {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

bool IsAttemptLine(const std::string& line) {
    for (const FlashCommand& command : {kEraseCommand, kWriteCommand, kProgramCommand}) {
        if (line.starts_with(command.LogWord)) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> AttemptLines::Take(const std::string& memoText) {
    const bool sameText =
        m_read <= memoText.size() && m_read >= m_lastLine.size() &&
        memoText.compare(m_read - m_lastLine.size(), m_lastLine.size(), m_lastLine) == 0;
    if (!sameText) {
        m_read = 0;
        m_lastLine.clear();
    }
    std::vector<std::string> lines;
    std::size_t pos = m_read;
    if (memoText.compare(pos, kLineEnd.size(), kLineEnd) == 0) {
        pos += kLineEnd.size();
    }
    while (pos < memoText.size()) {
        const std::size_t end = memoText.find(kLineEnd, pos);
        std::string line = memoText.substr(pos, end == std::string::npos ? end : end - pos);
        const bool attempt = IsAttemptLine(line);
        // An unfinished last line is taken only when it is an attempt: those are added whole,
        // while a description grows a character at a time.
        if (end == std::string::npos && !attempt) {
            break;
        }
        if (attempt) {
            lines.push_back(line);
        }
        m_read = pos + line.size();
        m_lastLine = std::move(line);
        if (end == std::string::npos) {
            break;
        }
        pos = end + kLineEnd.size();
    }
    return lines;
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
