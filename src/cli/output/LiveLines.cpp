#include "cli/output/LiveLines.h"

#include "cli/output/ControlEscapes.h"
#include "cli/output/TerminalInfo.h"

namespace velor::cli {

LiveLines::LiveLines(std::FILE* out) : m_out(out), m_terminal(IsInteractiveTerminal(out)) {}

LiveLines::~LiveLines() {
    Clear();
}

void LiveLines::Clear() {
    if (m_shown == 0) {
        return;
    }
    // Up to the block's first line, then erase to the end of the screen.
    std::fprintf(m_out, "\r\033[%zuA\033[J", m_shown);
    m_shown = 0;
    std::fflush(m_out);
}

void LiveLines::Print(const std::string& line) {
    Clear();
    std::fprintf(m_out, "%s\n", EscapeControls(line).c_str());
    std::fflush(m_out);
}

void LiveLines::Draw(const std::vector<std::string>& lines) {
    if (!m_terminal || (m_shown == lines.size() && lines == m_lines)) {
        return;
    }
    Clear();
    for (const std::string& line : lines) {
        std::fprintf(m_out, "%s\033[K\n", FitColumns(EscapeControls(line), 100).c_str());
    }
    m_shown = lines.size();
    m_lines = lines;
    std::fflush(m_out);
}

std::string FitColumns(const std::string& line, std::size_t width) {
    std::size_t columns = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if ((c & 0xC0) != 0x80) {
            if (columns == width) {
                return line.substr(0, i);
            }
            ++columns;
        }
    }
    return line;
}

}  // namespace velor::cli
