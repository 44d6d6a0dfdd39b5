#include "cli/output/ControlEscapes.h"

#include <cstdio>

namespace velor::cli {

namespace {

void AddEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

// The length of the well-formed UTF-8 sequence at text[i], 0 when there is none.
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead >= 0xF0 && lead <= 0xF4   ? 4
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

}  // namespace

std::string EscapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c >= 0x80 ? SequenceLength(text, i) : 1;
        if (length > 1) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            if (c == 0xC2 && second <= 0x9F) {
                AddEscape(out, "\\u%04X", second);  // a C1 control as UTF-8
            } else {
                out.append(text.substr(i, length));
            }
            i += length;
            continue;
        }
        // A lone byte 0x80-0x9F is a C1 control to a terminal in an 8-bit mode.
        if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F || (c >= 0x80 && c <= 0x9F)) {
            AddEscape(out, "\\x%02X", c);
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out;
}

std::string TerminalText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        out += text[i];
    }
    return out;
}

}  // namespace velor::cli
