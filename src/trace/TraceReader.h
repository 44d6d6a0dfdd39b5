#pragma once
// Reads a wire trace (docs/trace-format.md) into what it tells: the header, the device, the
// attempts, the calibration, the exchanges and the outcome. Everything in a trace is outside
// input: every line is checked, the file and its lines are bounded, and the answer to anything
// wrong is the line number and what is wrong there.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velor {

inline constexpr std::size_t kTraceMaxBytes = 64u << 20;  // a 64 KiB write takes under 2 MB
inline constexpr std::size_t kTraceMaxLine = 1u << 20;

struct TraceProblem {
    int64_t line = 0;  // 1-based; 0: the file as a whole
    std::string what;
};

struct TraceExchange {
    int64_t line = 0;  // of the frame
    std::string frame;
    std::string reply;  // what the reads after it returned, up to the next frame
    int64_t sentUs = 0;
    int64_t repliedUs = -1;  // when the last read after it returned; -1: no read
};

struct TracePortError {
    int64_t line = 0;
    int64_t atUs = 0;
    int message = 0;
    std::string text;
};

struct TraceContent {
    // The header.
    std::string program, programVersion, os, started, operation, port;
    int64_t baud = 0;
    std::string adapter, adapterVid, adapterPid, adapterSerial;
    std::string imageSha256;
    int64_t imageSize = -1;  // -1: no image named

    bool identified = false;
    std::string bootloader, description;
    int64_t pages = 0, blocksPerPage = 0, blockSize = 0;

    // attempts[command][verdict]: erase, write, program by accepted, refused, no-reply.
    std::array<std::array<int64_t, 3>, 3> attempts{};
    std::vector<std::array<int64_t, 3>> calibrations;  // each change, in order
    std::vector<TraceExchange> exchanges;
    std::vector<TracePortError> portErrors;
    int64_t lostEvents = 0;
    int64_t lastUs = 0;

    bool ended = false;
    std::string outcome, reason, headline, message;
    int64_t pagesDone = 0, bytes = 0, failed = 0;
    std::array<int64_t, 3> calibration{};

    int64_t lines = 0;
};

struct TraceReading {
    TraceContent content;
    // Set when the trace cannot be read past a line; content then holds what came before.
    std::optional<TraceProblem> problem;
    // The content is whole up to its last line but the operation's end is missing.
    bool cutOff() const { return !problem && !content.ended; }
};

// The text of a whole trace.
TraceReading ReadTraceText(std::string_view text);
// A trace file: a regular file of at most kTraceMaxBytes, never waited on.
TraceReading ReadTraceFile(const std::string& path);

}  // namespace velor
