#include <gtest/gtest.h>

#include <functional>

#include "Rig.h"
#include "app/Conversions.h"

namespace velor::testing {
namespace {

constexpr const char* kStopped =
    "                   Зупинено користувачем!\r\n         Мікропрограма записана частково!\r\n"
    "Необхідно повторно вибрати файл прошивки,\r\n    і провести запис, інакще в подальшому\r\n"
    "             прилад буде не працездатний!";

// Presses the stop key once, at the event turn after `skipTurns` turns of the write that found
// the gauge at `atPages` finished pages; and, to no effect, at every turn while it shows none.
void StopAt(Rig& rig, int64_t atPages, int skipTurns, bool& pressed) {
    rig.host.onProcessEvents = [&rig, atPages, skipTurns, &pressed, turns = 0]() mutable {
        if (rig.form.Activity != DeviceActivity::Writing)
            return;
        const auto progress = rig.form.ProgressbarReadWrite.Progress();
        if (progress == 0) {
            rig.session.StopKey();
        } else if (progress == atPages && !pressed && turns++ == skipTurns) {
            pressed = true;
            rig.session.StopKey();
        }
    };
}

TEST(StopKey, EndsTheWriteAtThePageBoundary) {
    Rig rig({"--geometry", "4:16:8"});
    rig.LoadRelease();
    bool pressed = false;
    StopAt(rig, 3, 0, pressed);
    rig.session.ButtonWriteClick();

    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Stopped);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kStopped});
    EXPECT_EQ(rig.form.LabelNameOfHex, "Зупинено користувачем");
    EXPECT_TRUE(rig.form.ButtonWrite.Enabled && rig.form.ButtonConect.Enabled &&
                rig.form.ButtonOpenHex.Enabled && rig.form.cbPort.Enabled &&
                rig.form.cbBaudRate.Enabled);
    EXPECT_EQ(rig.form.ProgressbarReadWrite.Progress(), 3);
    EXPECT_TRUE(rig.port.Opened());
    rig.devsim.Stop();
    int erases = 0;
    for (const auto& f : rig.devsim.LogLines("rx"))
        erases += f.rfind("g04", 0) == 0;
    EXPECT_EQ(erases, 3);
    EXPECT_EQ(rig.Count("rx", "g0101;"), 0);  // not reset
}

TEST(StopKey, DuringTheLastPageWithoutFailuresTheWriteStillCompletes) {
    Rig rig({"--geometry", "2:16:3"});
    rig.LoadRelease();
    bool pressed = false;
    StopAt(rig, 2, 1, pressed);  // after the last page's first turn: its erase attempt
    rig.session.ButtonWriteClick();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages, (std::vector<std::string>{kStopped, kDoneMessage}));
}

TEST(StopKey, DoesNothingWhileTheGaugeIsAtZero) {
    Rig rig({});
    rig.session.StopKey();
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_FALSE(rig.session.Buffers().AbortRequested);
}

// A stop request (velor-flash's Ctrl+C) set at the first event turn where `when` holds; the
// write must stop before its next command and say exactly what the device holds.
struct StopCase {
    const char* name;
    // Makes the test of the turn at which the stop comes (it may keep state).
    std::function<std::function<bool(const MainWindowModel&)>()> when;
    const char* message;
    int erases;  // erase commands the device received
};

// True from the turn of the program of block `written` of the page after `pagesDone` pages: the
// block bar still shows the page before until the page's erase has been accepted.
std::function<bool(const MainWindowModel&)> OnBlockOfPage(int64_t pagesDone, int written) {
    return [pagesDone, written, erased = false](const MainWindowModel& f) mutable {
        if (f.ProgressbarReadWrite.Progress() != pagesDone) {
            return false;
        }
        erased = erased || f.ProgressbarWrite.Position == 0;
        return erased && f.ProgressbarWrite.Position == written;
    };
}

class StopRequest : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopRequest, SaysWhatTheDeviceHolds) {
    const auto& c = GetParam();
    Rig rig({"--geometry", "2:16:4"});
    rig.LoadRelease();
    bool stop = false;
    rig.session.SetStopRequest([&stop] { return stop; });
    auto when = c.when();
    rig.host.onProcessEvents = [&] {
        if (rig.form.Activity == DeviceActivity::Writing && when(rig.form)) {
            stop = true;
        }
    };
    rig.session.ButtonWriteClick();

    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Stopped);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(rig.form.LabelNameOfHex, "Зупинено користувачем");
    EXPECT_TRUE(rig.form.ButtonWrite.Enabled && rig.form.ButtonConect.Enabled &&
                rig.form.cbPort.Enabled);
    rig.devsim.Stop();
    int erases = 0;
    for (const auto& f : rig.devsim.LogLines("rx"))
        erases += f.rfind("g04", 0) == 0;
    EXPECT_EQ(erases, c.erases);
    EXPECT_EQ(rig.Count("rx", "g0101;"), 0);  // never reset
}

INSTANTIATE_TEST_SUITE_P(
    Points, StopRequest,
    ::testing::Values(
        StopCase{"AtAPageBoundary",
                 [] {
                     return [](const MainWindowModel& f) {
                         return f.ProgressbarReadWrite.Progress() == 2;
                     };
                 },
                 "Зупинено користувачем!\r\nЗаписано сторінок: 2 з 4.\r\nМікропрограма записана "
                 "частково, прилад не скинуто!\r\nНеобхідно повторно провести запис, інакше "
                 "прилад буде не працездатний!",
                 2},
        StopCase{"InsideAPage", [] { return OnBlockOfPage(1, 1); },
                 "Зупинено користувачем!\r\nЗаписано сторінок: 1 з 4.\r\nСторінка 2 могла бути "
                 "стерта і записана частково.\r\nМікропрограма записана частково, прилад не "
                 "скинуто!\r\nНеобхідно повторно провести запис, інакше прилад буде не "
                 "працездатний!",
                 2},
        // The last block's program is the last command before the reset.
        StopCase{"BeforeTheReset", [] { return OnBlockOfPage(3, 2); },
                 "Зупинено користувачем!\r\nЗаписано сторінок: 4 з 4.\r\nМікропрограму записано "
                 "повністю, але прилад не скинуто!",
                 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ResetKey, ResetsTheDeviceAndClosesThePort) {
    Rig rig({});
    rig.session.ResetKey();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{"Скинуто прилад!!!"});
    EXPECT_EQ(rig.host.beeps, std::vector<BeepKind>{BeepKind::Exclamation});
    EXPECT_EQ(rig.host.sleeps, std::vector<int>{100});
    EXPECT_EQ(rig.session.Buffers().LastReply, "g8181;");
    EXPECT_FALSE(rig.port.Opened());
    rig.devsim.Stop();
    EXPECT_EQ(rig.devsim.LogLines("rx"), (std::vector<std::string>{"g0101;", "g0101;"}));
}

TEST(ResetKey, ADeviceThatNeverAnsweredEndsTheResetWithoutReplyButTheSameMessage) {
    Rig rig({"--ignore", "01"});
    rig.session.ResetKey();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Refused);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{"Скинуто прилад!!!"});
    EXPECT_EQ(rig.host.beeps, std::vector<BeepKind>{BeepKind::Exclamation});
    EXPECT_FALSE(rig.port.Opened());
}

// A valid Intel HEX text with other bytes at address 0.
constexpr const char* kOtherFirmware = ":040000001122334452\r\n:00000001FF\r\n";

TEST(Nesting, OperationsInsideAWriteAreRefusedAndTheWriteKeepsItsImage) {
    Rig rig({"--geometry", "4:16:8"});
    rig.LoadRelease();
    const auto original = rig.image;
    const auto expected = rig.ImageBytes(4 * 16 * 8);
    bool done = false;
    bool writeEnabledDuringWrite = false;
    rig.host.onProcessEvents = [&] {
        if (done || rig.form.Activity != DeviceActivity::Writing ||
            rig.form.ProgressbarReadWrite.Progress() != 1) {
            return;
        }
        done = true;
        rig.session.ResetKey();
        rig.session.ButtonConectClick();
        rig.session.ButtonWriteClick();
        // The operator opens another file meanwhile.
        rig.form.TextTerminal.SetText(kOtherFirmware);
        ASSERT_TRUE(PrepareFirmware(rig.form, rig.host, rig.image));
        writeEnabledDuringWrite = rig.form.ButtonWrite.Enabled;
    };
    rig.session.ButtonWriteClick();

    ASSERT_TRUE(done);
    EXPECT_NE(rig.image, original);
    EXPECT_FALSE(writeEnabledDuringWrite);
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kDoneMessage});
    EXPECT_TRUE(rig.form.ButtonWrite.Enabled);  // the new file is ready for the next write
    rig.devsim.Stop();
    EXPECT_EQ(rig.devsim.Dump(), expected);
    EXPECT_EQ(rig.Count("rx", "g0202;"), 1);
    EXPECT_EQ(rig.Count("rx", "g0101;"), 2);  // the completion's reset only
}

}  // namespace
}  // namespace velor::testing
