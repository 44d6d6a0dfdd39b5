#include "cli/output/AttemptLog.h"

#include <cerrno>
#include <cstring>

namespace velor::cli {

std::string AttemptLogLine(const FlashAttemptEvent& attempt) {
    return attempt.LogWord + attempt.Frame;
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
