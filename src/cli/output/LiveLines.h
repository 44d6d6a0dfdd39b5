#pragma once
// A block of status lines at the bottom of a terminal, redrawn in place; lines printed above it
// scroll away as usual. Off a terminal it draws nothing and prints the lines plainly.

#include <cstdio>
#include <string>
#include <vector>

namespace velor::cli {

class LiveLines {
  public:
    explicit LiveLines(std::FILE* out);
    ~LiveLines();
    LiveLines(const LiveLines&) = delete;
    LiveLines& operator=(const LiveLines&) = delete;

    bool OnTerminal() const { return m_terminal; }
    // Prints a line above the block.
    void Print(const std::string& line);
    // Shows these lines as the block, in place of the last ones (unless they are the same).
    void Draw(const std::vector<std::string>& lines);
    // Removes the block.
    void Clear();

  private:
    std::FILE* m_out;
    bool m_terminal;
    std::size_t m_shown = 0;
    std::vector<std::string> m_lines;  // what the block shows
};

// A status line cut to width columns (UTF-8 characters counted as one each).
std::string FitColumns(const std::string& line, std::size_t width);

}  // namespace velor::cli
