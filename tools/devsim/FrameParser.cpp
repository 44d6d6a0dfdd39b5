#include "FrameParser.h"

namespace devsim {

void FrameParser::Feed(std::string_view bytes, std::vector<std::string>& frames) {
    for (char c : bytes) {
        if (c == 'g') {
            if (m_inFrame) {
                m_discarded += m_frame.size();
            }
            m_frame.assign(1, c);
            m_inFrame = true;
            continue;
        }
        if (!m_inFrame) {
            ++m_discarded;
            continue;
        }
        m_frame += c;
        // The length first: a terminator that comes one character too late ends no frame.
        if (m_frame.size() > kMaxFrame) {
            m_discarded += m_frame.size();
            m_frame.clear();
            m_inFrame = false;
        } else if (c == ';') {
            frames.push_back(m_frame);
            m_frame.clear();
            m_inFrame = false;
        }
    }
}

}  // namespace devsim
