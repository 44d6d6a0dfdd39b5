#pragma once
// The attempt log that the window keeps in MemoAbout (one line per erase, write and program
// attempt: the log word and the frame), taken out as it grows and appended to a file.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/OutputFile.h"

namespace velor::cli {

// Finds the attempt lines added to a memo's text since the last call. The memo may be emptied
// and filled again (identification does so): reading then starts over.
class AttemptLines {
  public:
    std::vector<std::string> Take(const std::string& memoText);

  private:
    std::size_t m_read = 0;  // offset up to which lines were taken
    std::string m_lastLine;  // the line that ended at m_read, to see the text is the same
};

// Whether a memo line is an attempt line: it begins with one of the three log words.
bool IsAttemptLine(const std::string& line);

// The log file: opened for appending (a regular file only, never through a link), a header per
// run, then the lines. A line that cannot be written is said on stderr at once, and the log is
// from then on incomplete.
class AttemptLogFile {
  public:
    // Returns null (and sets error) when the file cannot be opened.
    static std::unique_ptr<AttemptLogFile> Open(const std::string& path, std::string& error);

    void Line(const std::string& text);
    bool Incomplete() const { return m_failed; }

  private:
    AttemptLogFile(OutputFile file, std::string path)
        : m_file(std::move(file)), m_path(std::move(path)) {}
    OutputFile m_file;
    std::string m_path;
    bool m_failed = false;
};

}  // namespace velor::cli
