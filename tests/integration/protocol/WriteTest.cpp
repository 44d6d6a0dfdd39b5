#include <gtest/gtest.h>

#include <string>

#include "Rig.h"

namespace velor::testing {
namespace {

std::vector<std::string> FlashFrames(Rig& rig) {
    std::vector<std::string> frames;
    for (const auto& f : rig.devsim.LogLines("rx")) {
        if (f.rfind("g04", 0) == 0 || f.rfind("g05", 0) == 0 || f.rfind("g06", 0) == 0) {
            frames.push_back(f);
        }
    }
    return frames;
}

TEST(Write, TheReleaseLandsInTheDeviceByteForByte) {
    Rig rig({"--description", "241003"});
    rig.LoadRelease();
    rig.session.ButtonWriteClick();

    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kDoneMessage});
    EXPECT_EQ(rig.form.LabelNameOfHex, "Мікропрограма : успішно завантажена в 12:34:56");
    EXPECT_EQ(rig.form.Label3, "Автокалібровка: 0.0.0");
    EXPECT_FALSE(rig.port.Opened());
    EXPECT_FALSE(rig.form.ButtonWrite.Enabled);
    EXPECT_TRUE(rig.form.ButtonConect.Enabled && rig.form.cbPort.Enabled &&
                rig.form.cbBaudRate.Enabled);
    EXPECT_EQ(rig.form.Focus, FocusTarget::ButtonConect);
    EXPECT_EQ(rig.form.ProgressbarReadWrite.Progress(), 0);
    EXPECT_EQ(rig.form.Activity, DeviceActivity::Idle);
    EXPECT_EQ(rig.session.Buffers().LastReply, "g8181;");

    // The description, then every attempt on a line of its own.
    const std::string& log = rig.form.MemoAbout.Text();
    EXPECT_EQ(log.rfind("241003\r\nОчистивg0400000004;\r\nЗаписавg0501", 0), 0u)
        << log.substr(0, 80);

    // Now the device holds release 241004 and says so after its reset.
    rig.host.messages.clear();
    rig.session.ButtonWriteClick();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Refused);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{"Дана версія вже записана в прилад!"});

    rig.devsim.Stop();
    EXPECT_EQ(rig.Count("rx", "g0101;"), 4);
    EXPECT_EQ(FlashFrames(rig).size(), 64u * 33u);
    const auto memory = rig.devsim.Dump();
    ASSERT_EQ(memory.size(), 65536u);
    EXPECT_TRUE(memory == rig.ImageBytes(65536)) << "device memory differs from the image";
}

TEST(Write, EachPageIsOneEraseThenWriteAndProgramPerBlock) {
    Rig rig({"--geometry", "2:64:2"});
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    ASSERT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    rig.devsim.Stop();

    const std::string block0 = rig.image->Read(0, 64);
    const std::string block1 = rig.image->Read(64, 64);
    const auto frames = FlashFrames(rig);
    ASSERT_EQ(frames.size(), 10u);
    EXPECT_EQ(frames[0], "g0400000004;");
    EXPECT_EQ(frames[1].substr(0, 5 + 128), "g0501" + block0);
    EXPECT_EQ(frames[2], "g0606;");
    EXPECT_EQ(frames[3].substr(0, 5 + 128), "g0502" + block1);
    EXPECT_EQ(frames[4], "g0606;");
    EXPECT_EQ(frames[5], "g0400008084;");
    EXPECT_EQ(frames[6].substr(0, 5), "g0501");
    EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(256));
}

TEST(Write, DegenerateGeometriesCompleteAtOnce) {
    const struct {
        const char* geometry;
        int erases;
    } cases[] = {{"16:64:0", 0}, {"0:64:4", 4}};
    for (const auto& c : cases) {
        Rig rig({"--geometry", c.geometry});
        rig.host.realSleep = false;
        rig.LoadRelease();
        rig.session.ButtonWriteClick();
        EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done) << c.geometry;
        EXPECT_EQ(rig.host.messages, std::vector<std::string>{kDoneMessage}) << c.geometry;
        rig.devsim.Stop();
        const auto frames = FlashFrames(rig);
        EXPECT_EQ(frames, std::vector<std::string>(c.erases, "g0400000004;")) << c.geometry;
        EXPECT_EQ(rig.Count("rx", "g0101;"), 2) << c.geometry;
    }
}

TEST(Write, LostFramesAreRetriedAndTheMemoryIsStillRight) {
    Rig rig({"--geometry", "16:64:16", "--drop-every", "50"});
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kDoneMessage});
    EXPECT_NE(rig.form.Label3, "Автокалібровка: 0.0.0");
    rig.devsim.Stop();
    EXPECT_GT(rig.devsim.LogLines("lost").size(), 5u);
    EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(16 * 1024));
}

TEST(Write, GarbledRepliesAreRetriedAndTheMemoryIsStillRight) {
    Rig rig({"--geometry", "8:32:8", "--garbage-every", "7"});
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    rig.devsim.Stop();
    EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(8 * 32 * 8));
}

// Sums the three delays shown after "Автокалібровка: ".
int CalibrationTotal(const std::string& label) {
    const std::string digits = label.substr(label.find(": ") + 2);
    int total = 0, value = 0;
    for (char c : digits + ".") {
        if (c == '.') {
            total += value;
            value = 0;
        } else {
            value = value * 10 + (c - '0');
        }
    }
    return total;
}

TEST(Write, ALateDeviceGetsCalibratedWaits) {
    // 30 ms is past the read window of an immediate read (21 ms): the first replies land in
    // later attempts, and the delays grow until the replies are read in their own attempt.
    Rig rig({"--geometry", "4:32:16", "--reply-delay-ms", "30"});
    rig.LoadRelease();
    rig.session.ButtonWriteClick();
    EXPECT_EQ(rig.session.LastOutcome(), SessionOutcome::Done);
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{kDoneMessage});
    const int failed = CalibrationTotal(rig.form.Label3);
    EXPECT_GT(failed, 0) << rig.form.Label3;
    EXPECT_LT(failed, 200) << rig.form.Label3;
    RecordProperty("calibration", rig.form.Label3);
    rig.devsim.Stop();
    EXPECT_EQ(rig.devsim.Dump(), rig.ImageBytes(4 * 32 * 16));
}

}  // namespace
}  // namespace velor::testing
