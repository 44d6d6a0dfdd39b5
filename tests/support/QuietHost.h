#pragma once
// A host that shows nothing and never waits: fuzz targets and benchmarks run the core alone.

#include "app/Host.h"

namespace velor::test {

class QuietHost : public IHost {
  public:
    void ShowMessage(const std::string&) override {}
    void ShowError(const std::string&) override {}
    void MessageBeep(BeepKind) override {}
    void Tone(int, int) override {}
    void Sleep(int) override {}
    void ProcessEvents() override {}
    void BringToFront() override {}
    std::string LongTimeOfDay() override { return "00:00:00"; }
};

}  // namespace velor::test
