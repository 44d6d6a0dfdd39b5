// A reply belongs to the command that asked for it. A late reply must not pass for the reply to
// a command whose frame the device never got, and a garbled identification must not set the
// geometry of a write.
#include <gtest/gtest.h>

#include "Rig.h"

namespace velor::testing {
namespace {

// Two blocks of 16 bytes on one page: erase, write 1, program, write 2, program.
// Frames as the device counts them: 1 identify, 2 describe, 3 erase, 4 write 1, 5 program,
// 6 the program's retry, 7 write 2.
const std::vector<std::string> kLateGarbledProgramThenLostWrite = {
    "--geometry", "2:16:1",
    // The first program's reply comes after the host's first read window: the host retries it
    // and takes that late reply for the retry's.
    "--fault", "5:late:33",
    // The retry's own reply follows into the next read window as "g8586;" instead of "g8686;".
    "--fault", "6:late:23", "--fault", "6:garble:3:5",
    // ... which is the window of write 2, whose frame the device lost.
    "--fault", "7:drop"};

TEST(StaleReply, AGarbledLateReplyIsNotTakenForALostWrite) {
    Rig rig(kLateGarbledProgramThenLostWrite);
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    rig.devsim.Stop();

    // Whatever the timing on a busy machine, "done" must mean the device holds the image.
    if (rig.session.LastOutcome() == SessionOutcome::Done) {
        EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(32)) << "a false success";
    }
    // With the timing as planned the stale reply met write 2's window, was refused there, and
    // write 2 was sent again and carried out.
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.devsim.LogLines("lost").size(), 1u);
    const std::string write2 = rig.devsim.LogLines("lost").at(0);
    EXPECT_EQ(write2.rfind("g0502", 0), 0u) << write2;
    EXPECT_EQ(rig.Count("rx", write2), 1) << "write 2 was never sent again";
}

// Frame 1 is the first identify; position 17 is the last digit of the page count.
TEST(IdentifyReply, OneGarbledOnTheLineIsAskedForAgain) {
    for (const bool signs : {true, false}) {
        std::vector<std::string> args = {"--geometry", "2:16:4", "--fault", "1:garble:17:H"};
        if (!signs) {
            args.push_back("--unsigned");
        }
        Rig rig(args);
        rig.LoadRelease();
        rig.session.ButtonWriteClick();
        rig.devsim.Stop();
        // A page count of "000H" reads 0: taken, it would end in "done" with nothing written.
        EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done) << signs;
        EXPECT_EQ(rig.session.Info().PageCount, 4) << signs;
        EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(128)) << signs;
        EXPECT_EQ(rig.session.Info().SignsReplies, signs);
        // A signed reply is believed at once; an unsigned one once it has been said twice alike.
        EXPECT_EQ(rig.Count("rx", "g0202;"), signs ? 2 : 3) << signs;
    }
}

TEST(IdentifyReply, ADeviceThatDoesNotSignIsWrittenByTheOldRule) {
    Rig rig({"--geometry", "2:16:4", "--unsigned"});
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    rig.devsim.Stop();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_FALSE(rig.session.Info().SignsReplies);
    EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(128));
    EXPECT_EQ(rig.Count("rx", "g0202;"), 2);  // asked once more to hear it twice alike
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kDoneMessage});
}

}  // namespace
}  // namespace velor::testing
