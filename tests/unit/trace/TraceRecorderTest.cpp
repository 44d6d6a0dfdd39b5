// The recorder alone, fed as a session and a port feed it: what it writes, what it does when its
// queue overflows or its disk fails, and the folder that keeps the newest traces.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "trace/TraceFormat.h"
#include "trace/TraceReader.h"
#include "trace/TraceRecorder.h"

namespace velor {
namespace {

namespace fs = std::filesystem;

struct Folder {
    Folder() {
        char name[] = "/tmp/velor-trace-XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~Folder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

// One detect: a frame, a reply, the identification and the end.
void Detect(TraceRecorder& recorder, const std::string& garbled = "") {
    recorder.OnStarted({SessionOperation::Detect, "/dev/ttyTEST", 115200});
    const auto readStart = TraceRecorder::Clock::now();
    recorder.Sent("g0202;", 6);
    recorder.Received("g820201021040004017;" + garbled, readStart);
    recorder.OnIdentified({"02", 64, 16, 64, "241003"});
    OperationEnded end;
    end.Operation = SessionOperation::Detect;
    end.Message = "Прилад визначено";
    recorder.OnEnded(end);
}

TEST(TraceRecorder, WritesWhatTheWireAndTheSessionSaidInOrder) {
    Folder dir;
    const fs::path file = dir.path / "t.jsonl";
    TraceRecorder recorder({"velor-test", "1"}, MakeFileStore(file));
    Detect(recorder, std::string("\x00\xFF\x1B", 3));
    const TraceResult result = recorder.LastTrace();
    EXPECT_TRUE(result.whole) << result.problem;
    EXPECT_EQ(result.path, file.string());

    const TraceReading reading = ReadTraceFile(file.string());
    ASSERT_FALSE(reading.problem) << reading.problem->line << ": " << reading.problem->what;
    const TraceContent& c = reading.content;
    EXPECT_EQ(c.program, "velor-test");
    EXPECT_EQ(c.operation, "detect");
    EXPECT_EQ(c.port, "/dev/ttyTEST");
    ASSERT_EQ(c.exchanges.size(), 1u);
    EXPECT_EQ(c.exchanges[0].frame, "g0202;");
    EXPECT_EQ(c.exchanges[0].reply, std::string("g820201021040004017;\x00\xFF\x1B", 23));
    EXPECT_GE(c.exchanges[0].repliedUs, c.exchanges[0].sentUs);
    EXPECT_TRUE(c.identified);
    EXPECT_TRUE(c.ended);
    EXPECT_EQ(c.message, "Прилад визначено");
}

TEST(TraceRecorder, AFullQueueCostsEventsThatTheTraceOwnsUpTo) {
    Folder dir;
    const fs::path file = dir.path / "t.jsonl";
    TraceRecorder recorder({"velor-test", "1"}, MakeFileStore(file), nullptr, 256);
    recorder.OnStarted({SessionOperation::Write, "p", 9600});
    for (int i = 0; i < 2000; ++i) {
        recorder.Sent(std::string(100, 'g'), 100);  // each alone fills half the queue
    }
    recorder.OnEnded({});
    const TraceResult result = recorder.LastTrace();
    EXPECT_FALSE(result.whole);
    EXPECT_NE(result.problem.find("events are missing"), std::string::npos) << result.problem;
    const TraceReading reading = ReadTraceFile(file.string());
    ASSERT_FALSE(reading.problem) << reading.problem->what;
    EXPECT_TRUE(reading.content.ended);
    EXPECT_GT(reading.content.lostEvents, 0);
}

TEST(TraceRecorder, AnUnwritablePlaceCostsTheTraceOnly) {
    Folder dir;
    std::ofstream(dir.path / "file") << "x";
    for (const fs::path& place : {dir.path / "file" / "t.jsonl", fs::path("/dev/full")}) {
        TraceRecorder recorder({"velor-test", "1"}, MakeFileStore(place));
        Detect(recorder);
        const TraceResult result = recorder.LastTrace();
        EXPECT_FALSE(result.whole) << place;
        EXPECT_FALSE(result.problem.empty()) << place;
    }
    // A folder that cannot be made.
    TraceRecorder recorder({"velor-test", "1"}, MakeFolderStore(dir.path / "file" / "traces"));
    Detect(recorder);
    EXPECT_NE(recorder.LastTrace().problem.find("cannot make the folder"), std::string::npos);
}

TEST(TraceRecorder, AFolderKeepsTheNewestTracesAndNoMoreBytesThanAllowed) {
    Folder dir;
    const fs::path traces = dir.path / "traces";
    {
        TraceRecorder recorder({"velor-test", "1"}, MakeFolderStore(traces, 3, 1u << 20));
        for (int i = 0; i < 5; ++i) {
            Detect(recorder);
            recorder.LastTrace();
        }
    }
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(traces)) {
        kept.push_back(entry.path());
    }
    EXPECT_EQ(kept.size(), 3u);
    {
        // A byte limit below two traces keeps one.
        const auto one = fs::file_size(kept.front());
        TraceRecorder recorder({"velor-test", "1"}, MakeFolderStore(traces, 50, one + one / 2));
        Detect(recorder);
        recorder.LastTrace();
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(traces), fs::directory_iterator()), 1);
}

TEST(TraceStore, APortPatternOrAFolderGivesEachPortItsFile) {
    std::string problem;
    EXPECT_EQ(PortFileName("/dev/ttyUSB0"), "ttyUSB0");
    EXPECT_EQ(PortFileName("COM3"), "COM3");
    EXPECT_EQ(PortFileName("/dev/../.."), "port");
    EXPECT_TRUE(NamesFolder("traces/"));
    EXPECT_FALSE(NamesFolder("trace.jsonl"));
    const auto store = MakePortStore("t-{port}.jsonl", "/dev/ttyUSB1", problem);
    EXPECT_EQ(store->PathFor({}, problem), fs::path("t-ttyUSB1.jsonl"));
    MakePortStore("one.jsonl", "/dev/ttyUSB1", problem);
    EXPECT_NE(problem.find("{port}"), std::string::npos);
}

TEST(TraceFormat, EveryByteGoesThroughTheTextAndBack) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(TextAsBytes(BytesAsText(all)), all);
    EXPECT_FALSE(TextAsBytes("\xC4\x80"));  // U+0100 is not a byte
    EXPECT_FALSE(TextAsBytes("\xC3"));      // cut off
}

}  // namespace
}  // namespace velor
