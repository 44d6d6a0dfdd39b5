#pragma once
// The attempt log that the window keeps in MemoAbout (one line per erase, write and program
// attempt: the log word and the frame), appended to a file from the session's attempt events.

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "protocol/SessionEvents.h"

#include "cli/output/OutputFile.h"

namespace velor::cli {

// The line of one attempt, as the window's log in MemoAbout words it: the log word and the frame.
std::string AttemptLogLine(const FlashAttemptEvent& attempt);

// The log file: opened for appending (a regular file only, never through a link), a header per
// run, then the lines. A line that cannot be written is said on stderr at once, and the log is
// from then on incomplete. Several devices' threads may write lines to one log, a whole line at
// a time.
class AttemptLogFile {
  public:
    // Returns null (and sets error) when the file cannot be opened.
    static std::unique_ptr<AttemptLogFile> Open(const std::string& path, std::string& error);

    void Line(const std::string& text);
    bool Incomplete() const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_failed;
    }

  private:
    AttemptLogFile(OutputFile file, std::string path)
        : m_file(std::move(file)), m_path(std::move(path)) {}
    OutputFile m_file;
    std::string m_path;
    mutable std::mutex m_mutex;
    bool m_failed = false;
};

}  // namespace velor::cli
