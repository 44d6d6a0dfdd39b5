// The typed events of a device session, against velor-devsim: they tell the same write the
// window model shows.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "Rig.h"
#include "protocol/SessionEvents.h"
#include "serial/EComPort.h"

namespace velor::testing {
namespace {

struct Recorder : ISessionEvents {
    void OnStarted(const OperationStarted& e) override {
        kinds.push_back("started");
        started.push_back(e);
    }
    void OnIdentified(const DeviceIdentified& e) override {
        kinds.push_back("identified");
        identified.push_back(e);
    }
    void OnReleaseChecked(ReleaseVerdict v) override {
        kinds.push_back("release");
        verdicts.push_back(v);
    }
    void OnAttempt(const FlashAttemptEvent& e) override { attempts.push_back(e); }
    void OnCalibration(const CalibrationChanged& e) override { calibrations.push_back(e); }
    void OnProgress(const WriteProgressEvent& e) override { progress.push_back(e); }
    void OnEnded(const OperationEnded& e) override {
        kinds.push_back("ended");
        ended.push_back(e);
    }

    std::vector<std::string> kinds;
    std::vector<OperationStarted> started;
    std::vector<DeviceIdentified> identified;
    std::vector<ReleaseVerdict> verdicts;
    std::vector<FlashAttemptEvent> attempts;
    std::vector<CalibrationChanged> calibrations;
    std::vector<WriteProgressEvent> progress;
    std::vector<OperationEnded> ended;
};

// The attempt lines of MemoAbout, after the description.
std::vector<std::string> MemoAttemptLines(const std::string& memo) {
    std::vector<std::string> lines;
    std::size_t begin = memo.find("\r\n");
    while (begin != std::string::npos) {
        begin += 2;
        const std::size_t end = memo.find("\r\n", begin);
        lines.push_back(memo.substr(begin, end == std::string::npos ? end : end - begin));
        begin = end;
    }
    return lines;
}

TEST(SessionEvents, AWriteWithLostFramesIsToldAsTheWindowShowsIt) {
    Rig rig({"--geometry", "4:64:4", "--description", "241003", "--drop-every", "9"});
    rig.LoadRelease();
    Recorder events;
    const ListenScope listening(rig.session.Events(), events);
    rig.session.ButtonWriteClick();
    ASSERT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);

    EXPECT_EQ(events.kinds,
              (std::vector<std::string>{"started", "identified", "release", "ended"}));
    EXPECT_EQ(events.started.at(0).Operation, SessionOperation::Write);
    EXPECT_EQ(events.started.at(0).Port, rig.devsim.Path());
    EXPECT_EQ(events.started.at(0).Baud, 115200u);
    EXPECT_EQ(events.identified.at(0).Pages, 4);
    EXPECT_EQ(events.identified.at(0).BlocksPerPage, 4);
    EXPECT_EQ(events.identified.at(0).BlockSize, 64);
    EXPECT_EQ(events.identified.at(0).Description, "241003");
    EXPECT_EQ(events.verdicts.at(0), ReleaseVerdict::Older);

    // Every attempt line of the memo is an attempt event, in order, with its verdict.
    const auto memoLines = MemoAttemptLines(rig.form.MemoAbout.Text());
    ASSERT_EQ(memoLines.size(), events.attempts.size());
    int64_t failed = 0;
    for (std::size_t i = 0; i < memoLines.size(); ++i) {
        const auto& a = events.attempts[i];
        EXPECT_EQ(memoLines[i], a.LogWord + a.Frame) << i;
        if (a.Verdict != AttemptVerdict::Accepted) {
            ++failed;
        }
        EXPECT_EQ(a.Command == AttemptCommand::Erase, a.Block == 0) << i;
    }
    EXPECT_GT(failed, 0);
    ASSERT_FALSE(events.calibrations.empty());
    const auto& last = events.calibrations.back();
    EXPECT_EQ(last.FailedAttempts, failed);
    EXPECT_EQ(last.EraseDelay + last.WriteDelay + last.ProgramDelay, failed);
    EXPECT_EQ(rig.form.Label3, "Автокалібровка: " + std::to_string(last.EraseDelay) + "." +
                                   std::to_string(last.WriteDelay) + "." +
                                   std::to_string(last.ProgramDelay));

    // Progress over the whole write, never backwards, ending with every byte.
    ASSERT_FALSE(events.progress.empty());
    int64_t bytes = -1;
    for (const auto& p : events.progress) {
        EXPECT_GE(p.Bytes, bytes);
        EXPECT_EQ(p.Bytes, (p.PagesDone * p.BlocksPerPage + p.BlocksDone) * 64);
        bytes = p.Bytes;
    }
    EXPECT_EQ(events.progress.back().Bytes, 4 * 4 * 64);
    EXPECT_EQ(events.progress.back().Percent(), 100);

    const auto& end = events.ended.at(0);
    EXPECT_EQ(end.Kind, OutcomeKind::Done);
    EXPECT_EQ(end.Reason, OutcomeReason::Done);
    EXPECT_EQ(end.Message, kDoneMessage);
    EXPECT_EQ(end.Headline,
              std::string(kDoneMessage).substr(0, std::string(kDoneMessage).find("\r\n")));
    EXPECT_EQ(end.Progress.Bytes, 1024);
    EXPECT_EQ(end.Calibration.FailedAttempts, failed);
    EXPECT_EQ(end.PortMessage, 0);
}

TEST(SessionEvents, ARefusalNamesItsReasonAndTheMessageShown) {
    Rig rig({"--description", "241004"});
    rig.LoadRelease();
    Recorder events;
    const ListenScope listening(rig.session.Events(), events);
    rig.session.ButtonWriteClick();
    ASSERT_EQ(events.ended.size(), 1u);
    EXPECT_EQ(events.ended[0].Kind, OutcomeKind::Refused);
    EXPECT_EQ(events.ended[0].Reason, OutcomeReason::SameRelease);
    EXPECT_STREQ(OutcomeReasonName(events.ended[0].Reason), "same-release");
    EXPECT_EQ(events.ended[0].Message, rig.host.messages.at(0));
    EXPECT_TRUE(events.attempts.empty());
    EXPECT_TRUE(events.progress.empty());
}

TEST(SessionEvents, APortThatIsNotThereEndsWithItsMessageNumberAndTheSystemsCode) {
    Rig rig({"--description", "241003"});
    rig.form.cbPort.Items = {"/dev/velor-no-such-port"};
    Recorder events;
    const ListenScope listening(rig.session.Events(), events);
    EXPECT_THROW(rig.session.ButtonConectClick(), EComPort);
    ASSERT_EQ(events.ended.size(), 1u);
    const auto& end = events.ended[0];
    EXPECT_EQ(end.Operation, SessionOperation::Detect);
    EXPECT_EQ(end.Kind, OutcomeKind::PortError);
    EXPECT_EQ(end.Reason, OutcomeReason::PortMissing);
    EXPECT_EQ(end.PortMessage, static_cast<int>(TComMessage::NonexistentPort));
    EXPECT_EQ(end.OsError, ENOENT);
    EXPECT_EQ(end.Message, std::string(ComMessageText(TComMessage::NonexistentPort)) + ".");
}

TEST(SessionEvents, AnOperationRefusedAsNestedTellsNothing) {
    Rig rig({"--description", "241003"});
    Recorder events;
    const ListenScope listening(rig.session.Events(), events);
    rig.form.Activity = DeviceActivity::Writing;
    rig.session.ButtonConectClick();
    rig.session.ButtonWriteClick();
    rig.session.ResetKey();
    EXPECT_TRUE(events.kinds.empty());
}

}  // namespace
}  // namespace velor::testing
