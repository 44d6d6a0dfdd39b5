#pragma once
// A host that answers every box at once and keeps a log of what the operation did to the world.

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/Host.h"

namespace velor::test {

class RecordingHost : public IHost {
  public:
    std::vector<std::string> log;  // "beep 16", "message <text>", "front", ...
    std::vector<std::string> messages;
    std::vector<BeepKind> beeps;
    std::vector<int> tones;   // the frequencies, in order
    std::vector<int> sleeps;  // the waits asked for, in order
    bool realSleep = false;   // true: the waits take their time (a real device is at the other end)
    int processEvents = 0;
    std::function<void()> onProcessEvents;  // a handler running nested in the operation

    void ShowMessage(const std::string& text) override {
        log.push_back("message " + text);
        messages.push_back(text);
    }
    void ShowError(const std::string& text) override { log.push_back("error " + text); }
    void MessageBeep(BeepKind kind) override {
        beeps.push_back(kind);
        log.push_back("beep " + std::to_string(static_cast<unsigned>(kind)));
    }
    void Tone(int hertz, int ms) override {
        tones.push_back(hertz);
        log.push_back("tone " + std::to_string(hertz) + " " + std::to_string(ms));
    }
    void Sleep(int ms) override {
        log.push_back("sleep " + std::to_string(ms));
        sleeps.push_back(ms);
        if (realSleep && ms > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }
    void ProcessEvents() override {
        ++processEvents;
        if (onProcessEvents) {
            onProcessEvents();
        }
    }
    void BringToFront() override { log.push_back("front"); }
    std::string LongTimeOfDay() override { return "12:34:56"; }
};

}  // namespace velor::test
