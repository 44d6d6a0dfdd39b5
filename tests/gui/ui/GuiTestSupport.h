#pragma once
// What the window tests share: one QApplication (offscreen unless told otherwise), a host that
// records boxes and sounds but renders and processes events like the real one, and a shell that
// records launches.

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "mainform/Shell.h"

namespace velor::guitest {

// The application of the test run, made by QtEnvironment (GuiMain.cpp) before the first test
// and destroyed after the last, before the process's own teardown.
QApplication& App();

using Log = std::vector<std::string>;

class RecordingGuiHost : public IHost {
  public:
    RecordingGuiHost(Log& log, const MainWindowModel& model) : m_log(log), m_model(model) {}

    void SetRenderer(std::function<void()> render) { m_render = std::move(render); }

    std::function<void()> OnEvents;  // runs at every event turn of an operation

    void ShowMessage(const std::string& text) override {
        Render();
        m_log.push_back("message|" + m_model.ApplicationTitle + "|" + text);
    }
    void ShowError(const std::string& text) override {
        Render();
        m_log.push_back("error|" + m_model.ApplicationTitle + "|" + text);
    }
    void MessageBeep(BeepKind kind) override {
        m_log.push_back("beep|" + std::to_string(static_cast<unsigned>(kind)));
    }
    void Tone(int hertz, int milliseconds) override {
        m_log.push_back("tone|" + std::to_string(hertz) + "|" + std::to_string(milliseconds));
    }
    void Sleep(int milliseconds) override { QTest::qSleep(milliseconds); }
    void ProcessEvents() override {
        Render();
        QApplication::processEvents();
        if (OnEvents) {
            OnEvents();  // what the operator does while the operation gives the window a turn
        }
    }
    void BringToFront() override {}
    std::string LongTimeOfDay() override { return "12:34:56"; }

  private:
    void Render() {
        if (m_render) {
            m_render();
        }
    }

    Log& m_log;
    const MainWindowModel& m_model;
    std::function<void()> m_render;
};

class RecordingGuiShell : public IShell {
  public:
    explicit RecordingGuiShell(Log& log) : m_log(log) {}
    void SetAbout(std::function<void()> show) { m_about = std::move(show); }
    void OpenDeviceManager() override { m_log.push_back("shell|devices"); }
    void OpenWebAddress(const std::string& address) override {
        m_log.push_back("shell|web|" + address);
    }
    void ShowAbout() override {
        m_log.push_back("shell|about");
        if (m_about) {
            m_about();
        }
    }

  private:
    Log& m_log;
    std::function<void()> m_about;
};

inline std::vector<std::string> Entries(const Log& log, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& entry : log) {
        if (entry.rfind(prefix, 0) == 0) {
            found.push_back(entry);
        }
    }
    return found;
}

// A key pressed where the operator's keyboard sends it: the focused control of the window.
inline void PressKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != &window) {
        target = &window;
    }
    QTest::keyClick(target, key, modifiers);
}

}  // namespace velor::guitest
