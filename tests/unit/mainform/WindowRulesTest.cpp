// The window rules both desktop windows share: the About window's handlers,
// the start-up order, FormActivate/FormResize and when a window renders its model.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "mainform/AboutController.h"
#include "mainform/FormEvents.h"
#include "mainform/FormLayout.h"
#include "mainform/KeyCodes.h"
#include "mainform/RenderingHost.h"
#include "mainform/StartUp.h"
#include "support/RecordingDoubles.h"

namespace velor::testing {
namespace {

class RecordingAboutWindow : public IAboutWindow {
  public:
    explicit RecordingAboutWindow(Log& log) : m_log(log) {}
    void HideWindow() override { m_log.push_back("hide"); }

  private:
    Log& m_log;
};

struct AboutFixture : ::testing::Test {
    Log log;
    MainWindowModel model;
    RecordingHost host{log, model};
    RecordingShell shell{log};
    RecordingAboutWindow window{log};
    AboutController about{window, host, shell};
};

TEST_F(AboutFixture, F1ClosesWithoutBeepOtherKeysDoNothing) {
    about.FormKeyDown(kKeyF1);
    EXPECT_EQ(log, (Log{"hide"}));
    log.clear();
    for (uint16_t key : {uint16_t{27}, uint16_t{13}, uint16_t{kKeyE}, uint16_t{113}}) {
        about.FormKeyDown(key);
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(AboutFixture, OkBeepsBeforeClosingAndTheTitleBarClosesSilently) {
    about.Button1Click();
    EXPECT_EQ(log, (Log{"beep|64", "hide"}));
    log.clear();
    about.FormClose();
    EXPECT_EQ(log, (Log{"hide"}));
}

TEST_F(AboutFixture, TheLinkBeepsThenOpensTheAddressWithItsSchemeAndStaysOpen) {
    about.sWebLabel1Click();
    EXPECT_EQ(log, (Log{"beep|64", "shell|web|https://velor-bootloader.example"}));
}

class RecordingProgram : public IDesktopProgram {
  public:
    Log log;
    void SetApplicationTitle(const std::string& title) override { log.push_back("title|" + title); }
    void CreateMainForm() override { log.push_back("main"); }
    void RunFormCreate() override { log.push_back("FormCreate"); }
    void ShowMainFormCentred() override { log.push_back("show"); }
    void CreateFormHelp() override { log.push_back("about"); }
    int RunMessageLoop() override {
        log.push_back("loop");
        return 7;
    }
};

TEST(StartUpOrder, TitleMainWindowFormCreateShowAboutThenTheLoop) {
    RecordingProgram program;
    EXPECT_EQ(RunDesktopProgram(program), 7);
    EXPECT_EQ(program.log,
              (Log{"title|Velor Bootloader", "main", "FormCreate", "show", "about", "loop"}));
}

TEST(StartUpOrder, AFrontEndWhoseCallerRunsTheLoopGetsEverythingButTheLoop) {
    RecordingProgram program;
    StartDesktopProgram(program);
    EXPECT_EQ(program.log, (Log{"title|Velor Bootloader", "main", "FormCreate", "show", "about"}));
}

class RecordingSurface : public IFormSurface {
  public:
    RecordingSurface(Log& log, bool shown) : m_log(log), m_shown(shown) {}
    bool Shown() const override { return m_shown; }
    void RepaintNow() override { m_log.push_back("repaint"); }

  private:
    Log& m_log;
    bool m_shown;
};

// A host whose every call lands in one log, to see the order of render and the call itself.
class OrderedHost : public IHost {
  public:
    explicit OrderedHost(Log& log) : m_log(log) {}
    void ShowMessage(const std::string& text) override { m_log.push_back("message|" + text); }
    void ShowError(const std::string& text) override { m_log.push_back("error|" + text); }
    void MessageBeep(BeepKind) override { m_log.push_back("beep"); }
    void Tone(int, int) override { m_log.push_back("tone"); }
    void Sleep(int) override { m_log.push_back("sleep"); }
    void ProcessEvents() override { m_log.push_back("process"); }
    void BringToFront() override { m_log.push_back("front"); }
    std::string LongTimeOfDay() override { return "9:41:00"; }

  private:
    Log& m_log;
};

TEST(FormEvents, RepaintThenProcessOnlyOnceShown) {
    Log log;
    OrderedHost host(log);
    RecordingSurface hidden(log, false);
    FormActivate(hidden, host);
    FormResize(hidden, host);
    EXPECT_TRUE(log.empty());
    RecordingSurface shown(log, true);
    FormActivate(shown, host);
    FormResize(shown, host);
    EXPECT_EQ(log, (Log{"repaint", "process", "repaint", "process"}));
}

TEST(RenderingHostRule, RendersBeforeBoxesAndTurnsButNotBeforeSoundsOrSleeps) {
    Log log;
    OrderedHost inner(log);
    RenderingHost host(inner, [&log] { log.push_back("render"); });
    host.ShowMessage("a");
    host.ShowError("b");
    host.ProcessEvents();
    host.MessageBeep(BeepKind::Hand);
    host.Tone(1200, 200);
    host.Sleep(5);
    host.BringToFront();
    EXPECT_EQ(host.LongTimeOfDay(), "9:41:00");
    EXPECT_EQ(log, (Log{"render", "message|a", "render", "error|b", "render", "process", "beep",
                        "tone", "sleep", "front"}));
}

TEST(RenderingHostRule, TurnsInQuickSuccessionRenderOnceBoxesAlways) {
    Log log;
    OrderedHost inner(log);
    RenderingHost host(
        inner, [&log] { log.push_back("render"); }, std::chrono::hours(1));
    for (int turn = 0; turn < 1000; ++turn) {
        host.ProcessEvents();  // every turn still serves the queue
    }
    host.ShowMessage("a");
    host.ProcessEvents();
    EXPECT_EQ(std::count(log.begin(), log.end(), "process"), 1001);
    EXPECT_EQ(std::count(log.begin(), log.end(), "render"), 2);
    EXPECT_EQ(log.front(), "render");
    EXPECT_EQ(log[log.size() - 3], "render");
    EXPECT_EQ(log[log.size() - 2], "message|a");

    log.clear();
    RenderingHost unpaced(
        inner, [&log] { log.push_back("render"); }, std::chrono::milliseconds(0));
    unpaced.ProcessEvents();
    unpaced.ProcessEvents();
    EXPECT_EQ(log, (Log{"render", "process", "render", "process"}));
}

TEST(FormLayout, ServiceClientHeightIsWhatTheFrameLeavesOf340) {
    EXPECT_EQ(ServiceClientHeight(0), 340);
    EXPECT_EQ(ServiceClientHeight(31), 309);
}

}  // namespace
}  // namespace velor::testing
