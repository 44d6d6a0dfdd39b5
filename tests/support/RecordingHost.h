#pragma once
// A host that answers every box at once and keeps a log of what the operation did to the world.

#include <functional>
#include <string>
#include <vector>

#include "app/Host.h"

namespace velor::test {

class RecordingHost : public IHost {
  public:
    std::vector<std::string> log;  // "beep 16", "message <text>", "front", ...
    std::vector<std::string> messages;
    int processEvents = 0;
    std::function<void()> onProcessEvents;  // a handler running nested in the operation

    void ShowMessage(const std::string& text) override {
        log.push_back("message " + text);
        messages.push_back(text);
    }
    void ShowError(const std::string& text) override { log.push_back("error " + text); }
    void MessageBeep(BeepKind kind) override {
        log.push_back("beep " + std::to_string(static_cast<unsigned>(kind)));
    }
    void Tone(int hertz, int ms) override {
        log.push_back("tone " + std::to_string(hertz) + " " + std::to_string(ms));
    }
    void Sleep(int ms) override { log.push_back("sleep " + std::to_string(ms)); }
    void ProcessEvents() override {
        ++processEvents;
        if (onProcessEvents) {
            onProcessEvents();
        }
    }
    void BringToFront() override { log.push_back("front"); }
    std::string LongTimeOfDay() override { return "12:00:00"; }
};

}  // namespace velor::test
