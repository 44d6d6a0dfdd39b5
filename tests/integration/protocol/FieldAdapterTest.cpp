// Devices and adapters as technicians meet them: a device that leaves the line at its reset, and
// an adapter that holds every reply until its latency timer fires.
#include <gtest/gtest.h>

#include <regex>

#include "DevsimProcess.h"
#include "FlashRun.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

// 2,048 bytes below the release stamp: every write is taken.
const std::vector<std::string> kGeometry = {"--geometry", "4:64:8"};

using test::Has;
using test::LinesOf;

TEST(FieldAdapter, ADeviceThatLeavesTheLineAtItsResetIsWritten) {
    for (const bool json : {false, true}) {
        auto args = kGeometry;
        args.push_back("--leave-at-reset");
        DevsimProcess devsim(args);
        std::vector<std::string> flash = {"write", "--port", devsim.Path()};
        if (json) {
            flash.push_back("--json");
        }
        const auto r = RunFlashProgram(flash);
        EXPECT_EQ(r.code, 0) << r.out << r.err;
        EXPECT_FALSE(Has(r.err, "Помилка")) << r.err;
        EXPECT_EQ(devsim.LogLines("unplug").size(), 1u) << "the device never left the line";
        if (json) {
            EXPECT_TRUE(Has(r.out, "\"outcome\":\"done\"")) << r.out;
            EXPECT_TRUE(Has(r.out, "\"bytes\":2048,\"pages\":8")) << r.out;
            EXPECT_TRUE(Has(r.out, "\"left_line_at_reset\":true")) << r.out;
        } else {
            EXPECT_TRUE(Has(r.out, "Мікропрограма успішно завантажена в ")) << r.out;
            const auto out = LinesOf(r.out);
            ASSERT_FALSE(out.empty());
            EXPECT_EQ(out.back().rfind("Wrote 2,048 bytes (8 pages) in ", 0), 0u) << out.back();
            EXPECT_TRUE(Has(out.back(), "; the device left the line at its reset")) << r.out;
        }
    }
}

TEST(FieldAdapter, AHeldReplyEndsTheSummaryWithHowToLowerTheTimer) {
    auto held = kGeometry;
    held.insert(held.end(), {"--adapter-latency-ms", "16"});
    {
        DevsimProcess devsim(held);
        const auto r = RunFlashProgram({"write", "--port", devsim.Path()});
        ASSERT_EQ(r.code, 0) << r.err;
        const auto out = LinesOf(r.out);
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out[out.size() - 2].rfind("Wrote 2,048 bytes", 0), 0u) << r.out;
        EXPECT_EQ(out.back().rfind("Replies took ", 0), 0u) << r.out;
        EXPECT_TRUE(Has(out.back(), "latency_timer")) << out.back();
    }
    {
        DevsimProcess devsim(held);
        const auto r = RunFlashProgram({"write", "--json", "--port", devsim.Path()});
        ASSERT_EQ(r.code, 0) << r.err;
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.out, m, std::regex("\"reply_latency_ms\":([0-9.]+)")))
            << r.out;
        EXPECT_GE(std::stod(m[1]), 8.0);
        EXPECT_LE(std::stod(m[1]), 17.0);
        EXPECT_TRUE(Has(r.out, "\"hint\":\"Replies took ")) << r.out;
    }
    // Replies at once: no hint.
    DevsimProcess devsim(kGeometry);
    const auto r = RunFlashProgram({"write", "--json", "--port", devsim.Path()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(Has(r.out, "Replies took")) << r.out;
    EXPECT_FALSE(Has(r.out, "\"hint\"")) << r.out;
}

}  // namespace
}  // namespace velor::testing
