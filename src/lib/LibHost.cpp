#include "lib/LibHost.h"

#include <chrono>
#include <ctime>
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
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return FormatLongTime(LongTimeFormat{}, local.tm_hour, local.tm_min, local.tm_sec);
}

}  // namespace velor::lib
