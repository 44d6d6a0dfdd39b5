#pragma once
// The attempt log that the window keeps in MemoAbout (one line per erase, write and program
// attempt: the log word and the frame), appended to a file from the session's attempt events.

#include <cstdio>
#include <memory>
#include <string>

#include "protocol/SessionEvents.h"

namespace velor::cli {

// The line of one attempt, as the window's log in MemoAbout words it: the log word and the frame.
std::string AttemptLogLine(const FlashAttemptEvent& attempt);

// The log file: opened for appending, a header per run, then the lines.
class AttemptLogFile {
  public:
    // Returns null (and sets error) when the file cannot be opened.
    static std::unique_ptr<AttemptLogFile> Open(const std::string& path, std::string& error);
    ~AttemptLogFile();
    AttemptLogFile(const AttemptLogFile&) = delete;
    AttemptLogFile& operator=(const AttemptLogFile&) = delete;

    void Line(const std::string& text);

  private:
    explicit AttemptLogFile(std::FILE* file) : m_file(file) {}
    std::FILE* m_file;
};

}  // namespace velor::cli
