#include "trace/TraceReader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "trace/TraceFormat.h"

namespace velor {

namespace {

using Json = nlohmann::json;

// What is wrong with a line; caught where the line number is known.
struct LineError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const Json& Field(const Json& object, const char* name) {
    const auto it = object.find(name);
    if (it == object.end()) {
        throw LineError(std::string("no \"") + name + "\"");
    }
    return *it;
}

std::string Text(const Json& object, const char* name) {
    const Json& value = Field(object, name);
    if (!value.is_string()) {
        throw LineError(std::string("\"") + name + "\" is not a text");
    }
    return value.get<std::string>();
}

std::string TextOr(const Json& object, const char* name) {
    return object.contains(name) ? Text(object, name) : std::string();
}

int64_t Number(const Json& object, const char* name, int64_t low = 0,
               int64_t high = INT64_MAX / 4) {
    const Json& value = Field(object, name);
    if (!value.is_number_integer()) {
        throw LineError(std::string("\"") + name + "\" is not a whole number");
    }
    const int64_t n = value.is_number_unsigned() && value.get<uint64_t>() > INT64_MAX
                          ? INT64_MAX
                          : value.get<int64_t>();
    if (n < low || n > high) {
        throw LineError(std::string("\"") + name + "\" is out of range: " + std::to_string(n));
    }
    return n;
}

std::string Bytes(const Json& object, const char* name) {
    const auto bytes = TextAsBytes(Text(object, name));
    if (!bytes) {
        throw LineError(std::string("\"") + name + "\" holds a character that is not a byte");
    }
    return *bytes;
}

void ReadHeader(const Json& line, TraceContent& c) {
    if (!line.is_object() || !line.contains("format") || !line["format"].is_string() ||
        line["format"].get<std::string>() != kTraceFormatName) {
        throw LineError(std::string("not a wire trace (its first line names no \"") +
                        kTraceFormatName + "\" format)");
    }
    const int64_t version = Number(line, "version", 1, INT32_MAX);
    if (version > kTraceFormatVersion) {
        throw LineError("format version " + std::to_string(version) +
                        " is newer than this program reads (" +
                        std::to_string(kTraceFormatVersion) + ")");
    }
    c.program = Text(line, "program");
    c.programVersion = TextOr(line, "programVersion");
    c.os = TextOr(line, "os");
    c.started = TextOr(line, "started");
    c.operation = Text(line, "operation");
    if (!OperationNamed(c.operation)) {
        throw LineError("unknown operation \"" + c.operation + "\"");
    }
    c.port = Text(line, "port");
    c.baud = Number(line, "baud", 0, 100'000'000);
    if (line.contains("adapter")) {
        const Json& adapter = line["adapter"];
        if (!adapter.is_object()) {
            throw LineError("\"adapter\" is not an object");
        }
        c.adapter = TextOr(adapter, "description");
        c.adapterVid = TextOr(adapter, "vid");
        c.adapterPid = TextOr(adapter, "pid");
        c.adapterSerial = TextOr(adapter, "serial");
    }
    if (line.contains("image")) {
        const Json& image = line["image"];
        if (!image.is_object()) {
            throw LineError("\"image\" is not an object");
        }
        c.imageSha256 = Text(image, "sha256");
        c.imageSize = Number(image, "size");
    }
}

void ReadIdentified(const Json& line, TraceContent& c) {
    c.identified = true;
    c.bootloader = Text(line, "bootloader");
    c.description = Text(line, "description");
    c.pages = Number(line, "pages");
    c.blocksPerPage = Number(line, "blocksPerPage");
    c.blockSize = Number(line, "blockSize");
    if (c.pages != kTracePages || c.blocksPerPage != kTraceBlocksPerPage ||
        c.blockSize != kTraceBlockSize) {
        throw LineError("a device of " + std::to_string(c.pages) + " pages of " +
                        std::to_string(c.blocksPerPage) + " blocks of " +
                        std::to_string(c.blockSize) +
                        " bytes: this program knows the KALMIRA-5K-2 (64 pages of 16 blocks of "
                        "64 bytes)");
    }
}

void ReadAttempt(const Json& line, TraceContent& c) {
    const auto command = AttemptCommandNamed(Text(line, "command"));
    const auto verdict = AttemptVerdictNamed(Text(line, "verdict"));
    if (!command || !verdict) {
        throw LineError("an attempt of an unknown command or verdict");
    }
    const int64_t pages = c.identified ? c.pages : kTracePages;
    const int64_t blocks = c.identified ? c.blocksPerPage : kTraceBlocksPerPage;
    Number(line, "page", 0, pages - 1);
    Number(line, "block", 0, blocks);
    Number(line, "delayMs", 0, INT32_MAX);
    ++c.attempts[static_cast<std::size_t>(*command)][static_cast<std::size_t>(*verdict)];
}

std::array<int64_t, 3> Delays(const Json& line) {
    return {Number(line, "erase", 0, INT32_MAX), Number(line, "write", 0, INT32_MAX),
            Number(line, "program", 0, INT32_MAX)};
}

void ReadEnd(const Json& line, TraceContent& c) {
    c.ended = true;
    c.outcome = Text(line, "outcome");
    c.reason = Text(line, "reason");
    c.message = Text(line, "message");
    c.headline = TextOr(line, "headline");
    c.pagesDone = Number(line, "pagesDone");
    c.bytes = Number(line, "bytes");
    c.failed = Number(line, "failed");
    const Json& delays = Field(line, "calibration");
    if (!delays.is_array() || delays.size() != 3) {
        throw LineError("\"calibration\" is not three delays");
    }
    for (std::size_t i = 0; i < 3; ++i) {
        if (!delays[i].is_number_integer() || delays[i].get<int64_t>() < 0) {
            throw LineError("\"calibration\" holds a delay that is not a whole number");
        }
        c.calibration[i] = delays[i].get<int64_t>();
    }
    if (line.contains("lostEvents")) {
        c.lostEvents = Number(line, "lostEvents");
    }
}

void ReadEvent(const Json& line, int64_t number, TraceContent& c) {
    if (!line.is_object()) {
        throw LineError("not a JSON object");
    }
    if (c.ended) {
        throw LineError("an event after the operation's end");
    }
    const int64_t t = Number(line, "t");
    if (t < c.lastUs) {
        throw LineError("its time goes back (" + std::to_string(t) + " us after " +
                        std::to_string(c.lastUs) + ")");
    }
    c.lastUs = t;
    const std::string ev = Text(line, "ev");
    if (ev == "tx") {
        c.exchanges.push_back(TraceExchange{number, Bytes(line, "data"), {}, t, -1});
    } else if (ev == "rx") {
        const std::string data = Bytes(line, "data");
        const int64_t start = Number(line, "readStart");
        if (start > t) {
            throw LineError("a read that began after it returned");
        }
        if (!c.exchanges.empty()) {
            c.exchanges.back().reply += data;
            c.exchanges.back().repliedUs = t;
        }
    } else if (ev == "identified") {
        ReadIdentified(line, c);
    } else if (ev == "attempt") {
        ReadAttempt(line, c);
    } else if (ev == "calibration") {
        c.calibrations.push_back(Delays(line));
        Number(line, "failed");
    } else if (ev == "port-error") {
        c.portErrors.push_back(TracePortError{
            number, t, static_cast<int>(Number(line, "message", 1, 15)), Text(line, "text")});
    } else if (ev == "lost") {
        c.lostEvents += Number(line, "events");
    } else if (ev == "end") {
        ReadEnd(line, c);
    } else if (ev == "open" || ev == "close" || ev == "release" || ev == "line-errors" ||
               ev == "error-box") {
        // Told as they are; nothing in the summary depends on them.
    } else {
        throw LineError("unknown event \"" + ev + "\"");
    }
}

}  // namespace

TraceReading ReadTraceText(std::string_view text) {
    TraceReading reading;
    TraceContent& c = reading.content;
    if (text.size() > kTraceMaxBytes) {
        reading.problem =
            TraceProblem{0, "the file holds " + std::to_string(text.size()) +
                                " bytes; a trace is at most " + std::to_string(kTraceMaxBytes)};
        return reading;
    }
    int64_t number = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        ++number;
        std::size_t end = text.find('\n', at);
        const bool lastLine = end == std::string_view::npos;
        if (lastLine) {
            end = text.size();
        }
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        c.lines = number;
        if (line.size() > kTraceMaxLine) {
            reading.problem = TraceProblem{
                number, "the line is longer than " + std::to_string(kTraceMaxLine) + " bytes"};
            return reading;
        }
        if (lastLine && !line.empty()) {
            reading.problem = TraceProblem{number, "the line is cut off (the file ends inside it)"};
            return reading;
        }
        const Json json = Json::parse(line, nullptr, false);
        if (json.is_discarded()) {
            reading.problem = TraceProblem{number, "not JSON"};
            return reading;
        }
        try {
            if (number == 1) {
                ReadHeader(json, c);
            } else {
                ReadEvent(json, number, c);
            }
        } catch (const LineError& e) {
            reading.problem = TraceProblem{number, e.what()};
            return reading;
        } catch (const std::exception& e) {
            reading.problem = TraceProblem{number, std::string("unreadable: ") + e.what()};
            return reading;
        }
    }
    if (number == 0) {
        reading.problem = TraceProblem{1, "the file is empty"};
    }
    return reading;
}

TraceReading ReadTraceFile(const std::string& path) {
    TraceReading refused;
    std::string text;
#ifdef _WIN32
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        refused.problem = TraceProblem{0, std::strerror(errno)};
        return refused;
    }
    text.resize(kTraceMaxBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
#else
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        refused.problem = TraceProblem{0, std::strerror(errno)};
        return refused;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        refused.problem = TraceProblem{0, "not a regular file"};
        return refused;
    }
    if (static_cast<std::size_t>(st.st_size) > kTraceMaxBytes) {
        close(fd);
        refused.problem =
            TraceProblem{0, "the file holds " + std::to_string(st.st_size) +
                                " bytes; a trace is at most " + std::to_string(kTraceMaxBytes)};
        return refused;
    }
    text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = read(fd, text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    text.resize(got);
#endif
    return ReadTraceText(text);
}

}  // namespace velor
