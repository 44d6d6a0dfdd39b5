#pragma once
// A multi-line text control's text, with the two ways the operations add to it.

#include <string>
#include <string_view>

namespace velor {

class Memo {
  public:
    const std::string& Text() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }
    // For changes in place of a long text (the firmware's upper-casing).
    std::string& MutableText() { return m_text; }
    void Clear() { m_text.clear(); }
    bool Empty() const { return m_text.empty(); }

    // The "empty line": ends an unfinished last line with CR LF; adds nothing after an empty one.
    void EndLine() {
        if (!m_text.empty() && !m_text.ends_with("\r\n")) {
            m_text += "\r\n";
        }
    }
    // A new last line (left unfinished, so the next EndLine closes it).
    void AddLine(std::string_view line) {
        EndLine();
        m_text += line;
    }
    // Characters appended unchanged to the end of the text.
    void Append(std::string_view text) { m_text += text; }

  private:
    std::string m_text;
};

}  // namespace velor
