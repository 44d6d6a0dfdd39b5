#include <gtest/gtest.h>

#include <chrono>

#include "app/EventPump.h"
#include "support/RecordingHost.h"

namespace velor {
namespace {

TEST(EventPump, TicksHandOverOnlyWhenTheBudgetIsSpentAndFlushAlways) {
    test::RecordingHost host;
    EventPump eager(host, std::chrono::milliseconds(0));
    for (int i = 0; i < 5; ++i) {
        eager.Tick();
    }
    EXPECT_EQ(host.processEvents, 5);

    host.processEvents = 0;
    EventPump lazy(host, std::chrono::hours(1));
    for (int i = 0; i < 100000; ++i) {
        lazy.Tick();
    }
    EXPECT_EQ(host.processEvents, 0);
    lazy.Flush();
    EXPECT_EQ(host.processEvents, 1);
}

}  // namespace
}  // namespace velor
