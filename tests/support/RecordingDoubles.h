#pragma once
// A host and a shell that write every side effect, in order, into one shared log and answer
// message boxes at once.

#include <string>
#include <vector>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "mainform/Shell.h"

namespace velor::testing {

using Log = std::vector<std::string>;

class RecordingHost : public IHost {
  public:
    RecordingHost(Log& log, const MainWindowModel& model) : m_log(log), m_model(model) {}

    // Box entries carry the caption they were shown with: "message|<caption>|<text>".
    void ShowMessage(const std::string& text) override {
        m_log.push_back("message|" + m_model.ApplicationTitle + "|" + text);
    }
    void ShowError(const std::string& text) override {
        m_log.push_back("error|" + m_model.ApplicationTitle + "|" + text);
    }
    void MessageBeep(BeepKind kind) override {
        m_log.push_back("beep|" + std::to_string(static_cast<unsigned>(kind)));
    }
    void Tone(int hertz, int milliseconds) override {
        m_log.push_back("tone|" + std::to_string(hertz) + "|" + std::to_string(milliseconds));
    }
    void Sleep(int) override {}
    void ProcessEvents() override {}
    void BringToFront() override { m_log.push_back("front"); }
    std::string LongTimeOfDay() override { return "12:00:00"; }

  private:
    Log& m_log;
    const MainWindowModel& m_model;
};

class RecordingShell : public IShell {
  public:
    explicit RecordingShell(Log& log) : m_log(log) {}
    void OpenDeviceManager() override { m_log.push_back("shell|devices"); }
    void OpenWebAddress(const std::string& address) override {
        m_log.push_back("shell|web|" + address);
    }
    void ShowAbout() override { m_log.push_back("shell|about"); }

  private:
    Log& m_log;
};

// The entries of log that start with prefix.
inline std::vector<std::string> Entries(const Log& log, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& entry : log) {
        if (entry.rfind(prefix, 0) == 0) {
            found.push_back(entry);
        }
    }
    return found;
}

}  // namespace velor::testing
