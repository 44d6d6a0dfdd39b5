#include <gtest/gtest.h>

#include <chrono>

#include "app/EventPump.h"

namespace velor {
namespace {

class CountingHost : public IHost {
  public:
    int events = 0;
    void ShowMessage(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void MessageBeep(BeepKind) override {}
    void Tone(int, int) override {}
    void Sleep(int) override {}
    void ProcessEvents() override { ++events; }
    void BringToFront() override {}
    std::string LongTimeOfDay() override { return {}; }
};

TEST(EventPump, TicksHandOverOnlyWhenTheBudgetIsSpentAndFlushAlways) {
    CountingHost host;
    EventPump eager(host, std::chrono::milliseconds(0));
    for (int i = 0; i < 5; ++i) {
        eager.Tick();
    }
    EXPECT_EQ(host.events, 5);

    host.events = 0;
    EventPump lazy(host, std::chrono::hours(1));
    for (int i = 0; i < 100000; ++i) {
        lazy.Tick();
    }
    EXPECT_EQ(host.events, 0);
    lazy.Flush();
    EXPECT_EQ(host.events, 1);
}

}  // namespace
}  // namespace velor
