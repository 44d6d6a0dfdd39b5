// The firmware load of the embedded release, whole and by stage, and the block reads of a write.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/Ansi.h"
#include "app/MainWindowModel.h"
#include "firmware/BuildFirmwareImage.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/HexChecks.h"
#include "firmware/PrepareFirmware.h"
#include "support/QuietHost.h"

namespace velor {
namespace {

// Everything the start-up load does: upper case, check pass, fill, build, the swap.
void BM_LoadEmbeddedRelease(benchmark::State& state) {
    test::QuietHost host;
    for (auto _ : state) {
        MainWindowModel form;
        form.TextTerminal.SetText(std::string(EmbeddedReleaseText()));
        std::shared_ptr<const FirmwareImage> image;
        if (!PrepareFirmware(form, host, image)) {
            state.SkipWithError("the release was refused");
        }
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_LoadEmbeddedRelease)->Unit(benchmark::kMillisecond);

void BM_UpperCase(benchmark::State& state) {
    const std::string text(EmbeddedReleaseText());
    for (auto _ : state) {
        std::string upper = text;
        AnsiUpperCaseInPlace(upper);
        benchmark::DoNotOptimize(upper);
    }
}
BENCHMARK(BM_UpperCase)->Unit(benchmark::kMicrosecond);

void BM_CheckPass(benchmark::State& state) {
    test::QuietHost host;
    const auto lines = SplitLines(EmbeddedReleaseText());
    for (auto _ : state) {
        TsGauge gauge;
        EventPump pump(host);
        benchmark::DoNotOptimize(CheckFirmwareText(lines, gauge, host, pump));
    }
}
BENCHMARK(BM_CheckPass)->Unit(benchmark::kMicrosecond);

void BM_FillAndBuild(benchmark::State& state) {
    test::QuietHost host;
    const auto lines = SplitLines(EmbeddedReleaseText());
    for (auto _ : state) {
        TsGauge gauge;
        EventPump pump(host);
        FirmwareImage image;
        benchmark::DoNotOptimize(BuildFirmwareImage(lines, gauge, host, pump, image));
    }
}
BENCHMARK(BM_FillAndBuild)->Unit(benchmark::kMicrosecond);

// A write cuts the image into blocks; 256 bytes is a typical block.
void BM_ReadBlocks(benchmark::State& state) {
    test::QuietHost host;
    const auto lines = SplitLines(EmbeddedReleaseText());
    TsGauge gauge;
    EventPump pump(host);
    FirmwareImage image;
    BuildFirmwareImage(lines, gauge, host, pump, image);
    for (auto _ : state) {
        for (int64_t address = 0; address < 0x10000; address += 256) {
            benchmark::DoNotOptimize(image.Read(address, 256));
        }
    }
    state.SetBytesProcessed(state.iterations() * 0x10000);
}
BENCHMARK(BM_ReadBlocks)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace velor
