#include "firmware/HexLines.h"

#include <cstring>

#include "firmware/HexChecks.h"

namespace velor {

HexLines::HexLines(std::string_view text) : m_text(text), m_count(CountLines(text)) {}

void HexLines::Iterator::Find() {
    const std::size_t size = m_text.size();
    if (m_at >= size) {
        m_at = m_end = m_next = size;
        return;
    }
    // memchr for LF, then for a CR before it: long texts go at memory speed.
    const char* base = m_text.data();
    if (!m_lfKnown || m_lf < m_at) {
        const auto* lf = static_cast<const char*>(std::memchr(base + m_at, '\n', size - m_at));
        m_lf = lf ? static_cast<std::size_t>(lf - base) : size;
        m_lfKnown = true;
    }
    const std::size_t lfAt = m_lf;
    const auto* cr = static_cast<const char*>(std::memchr(base + m_at, '\r', lfAt - m_at));
    if (cr == nullptr) {
        m_end = lfAt;
        m_next = lfAt < size ? lfAt + 1 : size;
        return;
    }
    m_end = static_cast<std::size_t>(cr - base);
    m_next = m_end + 1 == lfAt ? lfAt + 1 : m_end + 1;  // CR LF is one break
}

}  // namespace velor
