#include "cli/production/SessionHost.h"

#include <chrono>
#include <thread>

#include "app/LongTimeFormat.h"
#include "cli/output/ControlEscapes.h"
#include "cli/platform/RegionalTime.h"

namespace velor::cli {

void SessionHost::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void SessionHost::ShowMessage(const std::string& text) {
    if (m_output != nullptr) {
        m_output->Message(TerminalText(text));
    }
}

void SessionHost::ShowError(const std::string& text) {
    if (m_output != nullptr) {
        m_output->Error(TerminalText(text));
    }
}

void SessionHost::ProcessEvents() {
    if (m_onTurn) {
        m_onTurn();
    }
    if (m_output != nullptr) {
        m_output->Turn();
    }
}

std::string SessionHost::LongTimeOfDay() {
    return RegionalLongTimeNow();
}

std::string OneLine(const std::string& text) {
    std::string out;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::size_t first = begin;
        std::size_t last = end;
        while (first < last && (text[first] == ' ' || text[first] == '\r')) {
            ++first;
        }
        while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\r')) {
            --last;
        }
        if (last > first) {
            if (!out.empty()) {
                out += ' ';
            }
            out.append(text, first, last - first);
        }
        begin = end + 1;
    }
    return out;
}

}  // namespace velor::cli
