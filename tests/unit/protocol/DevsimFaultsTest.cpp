// velor-devsim's faults: seeded, so that a run of the fault matrix can be repeated exactly.
#include <gtest/gtest.h>

#include "FaultPlan.h"
#include "Options.h"

namespace devsim {
namespace {

std::vector<FrameFate> Fates(FaultOptions options, int frames, bool flashing = true) {
    FaultPlan plan(std::move(options));
    std::vector<FrameFate> fates;
    for (int i = 0; i < frames; ++i)
        fates.push_back(plan.Next(flashing));
    return fates;
}

std::string Signature(const std::vector<FrameFate>& fates) {
    std::string s;
    for (const auto& f : fates)
        s += std::string(f.lost ? "L" : "-") + (f.garble ? "G" : "-") +
             std::to_string(f.extraDelayMs) + "/" + std::to_string(f.noise.size()) + " ";
    return s;
}

TEST(FaultPlan, TheSameSeedGivesTheSameFaults) {
    FaultOptions o;
    o.dropProb = o.garbageProb = o.lateProb = o.noiseProb = 0.3;
    o.seed = 42;
    const auto a = Signature(Fates(o, 200));
    EXPECT_EQ(a, Signature(Fates(o, 200)));
    o.seed = 43;
    EXPECT_NE(a, Signature(Fates(o, 200)));
}

TEST(FaultPlan, ProbabilitiesZeroAndOneAreNeverAndAlways) {
    FaultOptions none;
    for (const auto& f : Fates(none, 100)) {
        EXPECT_FALSE(f.lost || f.garble || f.unplug || f.extraDelayMs != 0 || !f.noise.empty() ||
                     f.dup);
    }
    FaultOptions all;
    all.dropProb = all.garbageProb = all.lateProb = all.noiseProb = all.dupProb = 1.0;
    all.lateMs = 77;
    for (const auto& f : Fates(all, 100)) {
        EXPECT_TRUE(f.lost && f.garble && f.extraDelayMs == 77 && !f.noise.empty() && f.dup);
    }
    // About the share asked for, in a long run.
    FaultOptions some;
    some.dropProb = 0.1;
    some.dupProb = 0.3;
    int lost = 0;
    int doubled = 0;
    for (const auto& f : Fates(some, 10000)) {
        lost += f.lost;
        doubled += f.dup;
    }
    EXPECT_GT(lost, 800);
    EXPECT_LT(lost, 1200);
    EXPECT_GT(doubled, 2700);
    EXPECT_LT(doubled, 3300);
}

TEST(FaultPlan, TheDeviceVanishesAtTheNthFlashingFrame) {
    FaultOptions o;
    o.unplugAfter = 3;
    FaultPlan plan(o);
    EXPECT_FALSE(plan.Next(false).unplug);  // identify, describe: not counted
    EXPECT_FALSE(plan.Next(false).unplug);
    EXPECT_FALSE(plan.Next(true).unplug);
    EXPECT_FALSE(plan.Next(true).unplug);
    EXPECT_FALSE(plan.Next(false).unplug);
    EXPECT_TRUE(plan.Next(true).unplug);
    EXPECT_TRUE(plan.Next(true).unplug);  // and stays gone
}

TEST(FaultPlan, ScriptedFaultsHitTheirFrameOnly) {
    std::string error;
    const auto options = ParseOptions(
        {"--fault", "2:drop", "--fault", "3:late:40", "--fault", "3:garble:3:5"}, error);
    ASSERT_TRUE(options) << error;
    FaultPlan plan(options->faults);
    const auto first = plan.Next(false);
    const auto second = plan.Next(false);
    const auto third = plan.Next(false);
    EXPECT_FALSE(first.lost);
    EXPECT_TRUE(second.lost);
    EXPECT_FALSE(third.lost);
    EXPECT_EQ(third.extraDelayMs, 40);
    std::string reply = "g8484;";
    plan.Garble(third, reply);
    EXPECT_EQ(reply, "g8584;");
    std::string untouched = "g8484;";
    plan.Garble(first, untouched);
    EXPECT_EQ(untouched, "g8484;");
}

TEST(FaultPlan, ARandomGarbleReplacesExactlyOneCharacter) {
    FaultOptions o;
    o.garbageProb = 1.0;
    o.seed = 9;
    FaultPlan plan(o);
    for (int i = 0; i < 200; ++i) {
        const auto fate = plan.Next(true);
        const std::string clean = "g820201021040FFFFD5;";
        std::string reply = clean;
        plan.Garble(fate, reply);
        ASSERT_EQ(reply.size(), clean.size());
        int changed = 0;
        for (std::size_t k = 0; k < reply.size(); ++k)
            changed += reply[k] != clean[k];
        EXPECT_EQ(changed, 1) << reply;
    }
}

TEST(FaultPlan, ADoubledReplyComesTwiceInOnePiece) {
    std::string error;
    const auto options = ParseOptions({"--fault", "2:dup", "--fault", "3:dup", "--fault",
                                       "3:garble:2:9", "--fault", "4:noise:3:~\\n"},
                                      error);
    ASSERT_TRUE(options) << error;
    FaultPlan plan(options->faults);
    const std::vector<std::string> expected = {"g8484;", "g8484;g8484;", "g9484;g9484;",
                                               "g8~\n484;"};
    for (const auto& want : expected) {
        std::string reply = "g8484;";
        plan.Corrupt(plan.Next(true), reply);
        EXPECT_EQ(reply, want);
    }
}

TEST(FaultPlan, NoiseFallsBeforeAndInsideReplies) {
    FaultOptions o;
    o.noiseProb = 1.0;
    o.seed = 3;
    FaultPlan plan(o);
    const std::string clean = "g820201021040FFFFD5;";
    int before = 0;
    int inside = 0;
    for (int i = 0; i < 400; ++i) {
        std::string reply = clean;
        const auto fate = plan.Next(true);
        plan.Corrupt(fate, reply);
        ASSERT_EQ(reply.size(), clean.size() + fate.noise.size());
        ASSERT_GE(fate.noise.size(), 1u);
        // The reply's characters in order around one burst, never after its end.
        std::size_t at = 0;
        while (at < clean.size() &&
               !(reply.compare(at, fate.noise.size(), fate.noise) == 0 &&
                 reply.substr(0, at) + reply.substr(at + fate.noise.size()) == clean)) {
            ++at;
        }
        ASSERT_LT(at, clean.size()) << "no single burst inside the reply";
        (at == 0 ? before : inside) += 1;
    }
    EXPECT_GT(before, 120);
    EXPECT_GT(inside, 120);
}

TEST(FaultOptions, BadValuesAreRefused) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--drop-prob", "1.5"},
                                               {"--drop-prob", "-0.1"},
                                               {"--noise-prob", "x"},
                                               {"--late-ms", "-1"},
                                               {"--unplug-after", "two"},
                                               {"--fault", "0:drop"},
                                               {"--fault", "3:melt"},
                                               {"--fault", "3:garble:5"},
                                               {"--fault", "3:late:"},
                                               {"--dup-prob", "2"},
                                               {"--fault", "3:noise:0:x"},
                                               {"--fault", "3:noise:2:"},
                                               {"--fault", "3:noise:x"},
                                               {"--seed", "-4"}}) {
        std::string error;
        EXPECT_FALSE(ParseOptions(args, error)) << args[0] << " " << args[1];
        EXPECT_FALSE(error.empty());
    }
    std::string error;
    const auto o = ParseOptions(
        {"--seed", "5", "--garbage-prob", "0.25", "--late-prob", "1", "--late-ms", "90",
         "--noise-prob", "0", "--unplug-after", "12", "--unsigned", "--dup-prob", "0.125"},
        error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->faults.seed, 5u);
    EXPECT_DOUBLE_EQ(o->faults.garbageProb, 0.25);
    EXPECT_EQ(o->faults.lateMs, 90);
    EXPECT_EQ(o->faults.unplugAfter, 12);
    EXPECT_DOUBLE_EQ(o->faults.dupProb, 0.125);
    EXPECT_FALSE(o->model.signReplies);
}

}  // namespace
}  // namespace devsim
