#include "cli/AttemptLog.h"

#include <cerrno>
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
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (file == nullptr) {
        error = "cannot open the log file '" + path + "': " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<AttemptLogFile>(new AttemptLogFile(file));
}

AttemptLogFile::~AttemptLogFile() {
    std::fclose(m_file);
}

void AttemptLogFile::Line(const std::string& text) {
    std::fputs(text.c_str(), m_file);
    std::fputc('\n', m_file);
    std::fflush(m_file);
}

}  // namespace velor::cli
