// Wire traces from outside: the host's reader (trace show) and the simulator's own (--replay)
// take any bytes, answer a problem with a line inside the text, and never read past it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ReplayScript.h"
#include "trace/TraceFormat.h"
#include "trace/TraceReader.h"

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "trace fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto lines = static_cast<int64_t>(std::count(text.begin(), text.end(), '\n')) + 1;

    const velor::TraceReading reading = velor::ReadTraceText(text);
    if (reading.problem) {
        Expect(reading.problem->line >= 0 && reading.problem->line <= lines,
               "a line past the text");
        Expect(!reading.problem->what.empty(), "a problem without words");
    }
    for (const auto& exchange : reading.content.exchanges) {
        Expect(exchange.line >= 2 && exchange.line <= lines, "an exchange past the text");
    }

    // The byte encoding goes both ways for whatever the bytes are.
    const auto back = velor::TextAsBytes(velor::BytesAsText(text));
    Expect(back && *back == text, "bytes lost in the trace's encoding");

    devsim::ReplayScript script;
    std::string error;
    if (!devsim::ParseReplayScript(text, devsim::Geometry{}, script, error)) {
        Expect(!error.empty() && error.find(':') != std::string::npos, "no line in the error");
    }
    for (const auto& step : script.steps) {
        Expect(step.line >= 2 && step.line <= lines, "a step past the text");
    }
    return 0;
}
