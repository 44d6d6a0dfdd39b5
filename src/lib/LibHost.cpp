#include "lib/LibHost.h"

#include <chrono>
#include <thread>

#include "app/LongTimeFormat.h"

namespace velor::lib {

void LibHost::ShowError(const std::string& text) {
    if (m_firstError.empty()) {
        m_firstError = text;
    }
}

void LibHost::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void LibHost::ProcessEvents() {
    if (m_onTurn) {
        m_onTurn();
    }
}

std::string LibHost::LongTimeOfDay() {
    return LongTimeNow(LongTimeFormat{});
}

}  // namespace velor::lib
