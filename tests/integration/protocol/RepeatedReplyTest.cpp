// A reply the line sends twice, or with stray characters inside it, is still the device's reply
// when it comes signed, and a garbled one is never judged: a doubled identify reply must not
// switch off the reply check, and a garbled description must not refuse a write.
#include <gtest/gtest.h>

#include "Rig.h"
#include "protocol/Texts.h"

namespace velor::testing {
namespace {

// Each identify reply comes twice: the old rule took two alike for a device that does not sign.
// Then the late, garbled program reply of StaleReply meets write 2's window, whose frame the
// device lost. Frames as the device counts them while the two identify tries run: 3 describe,
// 4 erase, 5 write 1, 6 program, 7 its retry, 8 write 2.
const std::vector<std::string> kDoubledIdentifyThenStaleReply = {
    "--geometry", "2:16:1",  "--fault",   "1:dup",   "--fault",      "2:dup",   "--fault",
    "6:late:33",  "--fault", "7:late:23", "--fault", "7:garble:3:5", "--fault", "8:drop"};

TEST(RepeatedReply, ADoubledIdentifyReplyKeepsTheReplyCheckOn) {
    Rig rig(kDoubledIdentifyThenStaleReply);
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    rig.devsim.Stop();
    EXPECT_TRUE(rig.session.Info().SignsReplies);
    EXPECT_EQ(rig.session.Info().PageCount, 1);
    EXPECT_EQ(rig.Count("rx", "g0202;"), 1) << "the doubled signed reply is a signed reply";
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(32)) << "a false success";
}

// Frame 2 is the description request; the reply "g83241003BA;" has the stamp's "4" at 5.
struct DescriptionFault {
    const char* name;
    std::vector<std::string> faults;
    int describes;  // how often the host asks
};

class GarbledDescription : public ::testing::TestWithParam<DescriptionFault> {};

TEST_P(GarbledDescription, IsAskedForAgainAndTheOlderDeviceWritten) {
    std::vector<std::string> args = {"--geometry", "2:16:1"};
    for (const auto& fault : GetParam().faults) {
        args.push_back("--fault");
        args.push_back(fault);
    }
    Rig rig(args);
    rig.host.realSleep = false;
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    rig.devsim.Stop();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kDoneMessage});
    EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(32));
    EXPECT_EQ(rig.Count("rx", "g0303;"), GetParam().describes);
}

INSTANTIATE_TEST_SUITE_P(
    OnTheLine, GarbledDescription,
    ::testing::Values(
        // "251003": the old rule said the device held a newer release.
        DescriptionFault{"StampGarbled", {"2:garble:5:5"}, 2},
        // "2Y1003": its character codes sum to the check digits of "241003".
        DescriptionFault{"DigitGarbledIntoALetter", {"2:garble:5:Y"}, 2},
        // Twice in one read, or stray characters inside: "Невідомо що то є!" before.
        DescriptionFault{"Doubled", {"2:dup"}, 1},
        DescriptionFault{"NoiseInside", {"2:noise:6:~~"}, 2},
        DescriptionFault{"NoiseBefore", {"2:noise:1:~~"}, 1},
        DescriptionFault{
            "GarbledThenDoubledWithNoise", {"2:garble:9:0", "3:dup", "3:noise:13:;"}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GarbledDescription, EveryTryGarbledRefusesWithoutJudgingTheRelease) {
    Rig rig({"--geometry", "2:16:1", "--fault", "2:garble:5:5", "--fault", "3:garble:6:9",
             "--fault", "4:noise:4:x"});
    rig.host.realSleep = false;
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    rig.devsim.Stop();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Refused);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{texts::kDescriptionGarbled});
    EXPECT_EQ(rig.Count("rx", "g0303;"), 3);
    EXPECT_EQ(rig.Count("rx", "g0101;"), 2);              // reset, as after any refusal
    EXPECT_TRUE(rig.devsim.LogLines("rx").size() == 6u);  // nothing erased
    EXPECT_FALSE(rig.port.Opened());
}

TEST(GarbledDescription, ADeviceThatDoesNotSignKeepsTheOneTry) {
    Rig rig({"--geometry", "2:16:1", "--unsigned", "--fault", "3:garble:5:5"});
    rig.host.realSleep = false;
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    rig.devsim.Stop();
    EXPECT_FALSE(rig.session.Info().SignsReplies);
    EXPECT_EQ(rig.Count("rx", "g0303;"), 1);
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Refused);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{texts::kReleaseNewer});
}

}  // namespace
}  // namespace velor::testing
