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
#include "support/RecordingDoubles.h"

namespace velor::guitest {

// The application of the test run, made by QtEnvironment (GuiMain.cpp) before the first test
// and destroyed after the last, before the process's own teardown.
QApplication& App();

using Log = velor::testing::Log;
using velor::testing::Entries;

// The shared recording host, but rendering and processing events like the real one.
class RecordingGuiHost : public velor::testing::RecordingHost {
  public:
    RecordingGuiHost(Log& log, const MainWindowModel& model) : RecordingHost(log, model) {}

    void SetRenderer(std::function<void()> render) { m_render = std::move(render); }

    std::function<void()> OnEvents;  // runs at every event turn of an operation

    void ShowMessage(const std::string& text) override {
        Render();
        RecordingHost::ShowMessage(text);
    }
    void ShowError(const std::string& text) override {
        Render();
        RecordingHost::ShowError(text);
    }
    void Sleep(int milliseconds) override { QTest::qSleep(milliseconds); }
    void ProcessEvents() override {
        Render();
        QApplication::processEvents();
        if (OnEvents) {
            OnEvents();  // what the operator does while the operation gives the window a turn
        }
    }
    std::string LongTimeOfDay() override { return "12:34:56"; }

  private:
    void Render() {
        if (m_render) {
            m_render();
        }
    }

    std::function<void()> m_render;
};

// The shared recording shell; ShowAbout also shows the About window when one is set.
class RecordingGuiShell : public velor::testing::RecordingShell {
  public:
    explicit RecordingGuiShell(Log& log) : RecordingShell(log) {}
    void SetAbout(std::function<void()> show) { m_about = std::move(show); }
    void ShowAbout() override {
        RecordingShell::ShowAbout();
        if (m_about) {
            m_about();
        }
    }

  private:
    std::function<void()> m_about;
};

// A key pressed where the operator's keyboard sends it: the focused control of the window.
inline void PressKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr || target->window() != &window) {
        target = &window;
    }
    QTest::keyClick(target, key, modifiers);
}

}  // namespace velor::guitest
