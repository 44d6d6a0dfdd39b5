#include "ReplayScript.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

namespace devsim {

namespace {

constexpr std::size_t kMaxTraceBytes = 64u << 20;
constexpr std::size_t kMaxLineBytes = 1u << 20;
constexpr int kNewestVersion = 1;

using Json = nlohmann::json;

struct Bad {
    std::string what;
};

long WholeNumber(const Json& line, const char* key) {
    const auto it = line.find(key);
    if (it == line.end() || !it->is_number_integer() || it->get<long long>() < 0 ||
        it->get<long long>() > (1LL << 50)) {
        throw Bad{std::string("\"") + key + "\" is missing or not a whole number"};
    }
    return static_cast<long>(it->get<long long>());
}

// The trace keeps each wire byte as the character of the same number.
std::string WireBytes(const Json& line, const char* key) {
    const auto it = line.find(key);
    if (it == line.end() || !it->is_string()) {
        throw Bad{std::string("\"") + key + "\" is missing or not a text"};
    }
    const std::string& text = it->get_ref<const std::string&>();
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
                   (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
            const unsigned low = static_cast<unsigned char>(text[i + 1]) & 0x3Fu;
            bytes += static_cast<char>((c == 0xC2 ? 0x80u : 0xC0u) + low);
            ++i;
        } else {
            throw Bad{std::string("\"") + key + "\" holds a character that is not a byte"};
        }
    }
    return bytes;
}

void CheckHeader(const Json& line) {
    if (!line.is_object() || line.value("format", std::string()) != "velor-wire-trace") {
        throw Bad{"not a wire trace"};
    }
    const long version = WholeNumber(line, "version");
    if (version > kNewestVersion) {
        throw Bad{"format version " + std::to_string(version) + " is newer than this simulator (" +
                  std::to_string(kNewestVersion) + ")"};
    }
}

void CheckGeometry(const Json& line, const Geometry& g) {
    const long pages = WholeNumber(line, "pages");
    const long blocks = WholeNumber(line, "blocksPerPage");
    const long size = WholeNumber(line, "blockSize");
    if (pages != g.pages || blocks != g.blocksPerPage || size != g.blockSize) {
        throw Bad{"the device of the trace has geometry " + std::to_string(blocks) + ":" +
                  std::to_string(size) + ":" + std::to_string(pages) + ", this one " +
                  std::to_string(g.blocksPerPage) + ":" + std::to_string(g.blockSize) + ":" +
                  std::to_string(g.pages) + " (--geometry)"};
    }
}

// Builds the steps as the lines come. What the first read after a frame got goes out at once,
// or, after a flashing command, when it arrived but no later than halfway through the host's
// recorded wait before that read: the host's own timing differs from the field's, and the bytes
// must be in the line when its read comes, however loaded the machine. What a later read after the
// same frame got goes out halfway between the reads. A device that left the line leaves it at once
// when it answered nothing more.
class Builder {
  public:
    explicit Builder(ReplayScript& script) : m_script(script) {}

    void Event(const Json& line, long number, const Geometry& geometry) {
        const long t = WholeNumber(line, "t");
        if (t < m_last) {
            throw Bad{"its time goes back"};
        }
        m_last = t;
        const auto ev = line.find("ev");
        if (ev == line.end() || !ev->is_string()) {
            throw Bad{"\"ev\" is missing or not a text"};
        }
        const std::string& kind = ev->get_ref<const std::string&>();
        if (kind == "tx") {
            m_script.steps.push_back(ReplayStep{number, WireBytes(line, "data"), {}});
            m_sentAt = t;
            m_lastRead = t;
            m_reads = 0;
            m_firstAnswer = -1;
        } else if (kind == "rx") {
            const std::string bytes = WireBytes(line, "data");
            const long start = WholeNumber(line, "readStart");
            if (start > t) {
                throw Bad{"a read that began after it returned"};
            }
            if (!bytes.empty() && !m_script.steps.empty()) {
                if (m_reads == 0) {
                    m_firstAnswer = static_cast<long>(m_script.steps.back().answers.size());
                    m_arrival = std::max(0L, t - m_sentAt - kReadTail);
                    Answer(ReplayAnswer{0, bytes, false});
                } else {
                    Answer(ReplayAnswer{Halfway(start), bytes, false});
                }
            }
            ++m_reads;
            m_lastRead = t;
        } else if (kind == "attempt") {
            const long waitUs = WholeNumber(line, "delayMs") * 1000;
            if (m_firstAnswer >= 0) {
                m_script.steps.back().answers[static_cast<std::size_t>(m_firstAnswer)].delayUs =
                    std::min(m_arrival, waitUs / 2);
            }
        } else if (kind == "port-error") {
            if (!m_script.steps.empty()) {
                const bool answered = !m_script.steps.back().answers.empty();
                Answer(ReplayAnswer{answered ? Halfway(t) : 0, {}, true});
            }
        } else if (kind == "identified") {
            CheckGeometry(line, geometry);
        } else if (kind == "end") {
            m_ended = true;
        }
    }

    bool Ended() const { return m_ended; }

  private:
    // A read ends about a character time after the last byte came.
    static constexpr long kReadTail = 1000;

    long Halfway(long until) const {
        const long from = std::max(m_lastRead, m_sentAt);
        return std::max(0L, from + (until - from) / 2 - m_sentAt);
    }
    void Answer(ReplayAnswer answer) {
        auto& answers = m_script.steps.back().answers;
        if (answers.empty() || !answers.back().unplug) {
            answers.push_back(std::move(answer));
        }
    }

    ReplayScript& m_script;
    long m_last = 0;
    long m_sentAt = 0;
    long m_lastRead = 0;
    long m_reads = 0;         // since the last frame
    long m_firstAnswer = -1;  // of the first read after the last frame; -1: none
    long m_arrival = 0;       // of that answer, after the frame
    bool m_ended = false;
};

}  // namespace

bool ParseReplayScript(const std::string& text, const Geometry& geometry, ReplayScript& script,
                       std::string& error) {
    script = ReplayScript{};
    Builder builder(script);
    long number = 0;
    std::size_t at = 0;
    try {
        while (at < text.size()) {
            ++number;
            const std::size_t newline = text.find('\n', at);
            if (newline == std::string::npos) {
                throw Bad{"the trace is cut off inside this line"};
            }
            if (newline - at > kMaxLineBytes) {
                throw Bad{"the line is longer than 1 MiB"};
            }
            const Json line =
                Json::parse(text.begin() + static_cast<long>(at),
                            text.begin() + static_cast<long>(newline), nullptr, false);
            at = newline + 1;
            if (line.is_discarded()) {
                throw Bad{"not JSON"};
            }
            if (number == 1) {
                CheckHeader(line);
            } else if (!line.is_object()) {
                throw Bad{"not a JSON object"};
            } else {
                builder.Event(line, number, geometry);
            }
        }
        if (number == 0) {
            ++number;
            throw Bad{"the trace is empty"};
        }
        if (!builder.Ended()) {
            throw Bad{"the trace ends before the operation's end (cut off)"};
        }
    } catch (const Bad& bad) {
        error = std::to_string(number) + ": " + bad.what;
        return false;
    } catch (const std::exception& e) {
        error = std::to_string(number) + ": unreadable: " + e.what();
        return false;
    }
    return true;
}

bool LoadReplayScript(const std::string& path, const Geometry& geometry, ReplayScript& script,
                      std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::size_t>(st.st_size) > kMaxTraceBytes) {
        close(fd);
        error = S_ISREG(st.st_mode) ? "the file holds " + std::to_string(st.st_size) +
                                          " bytes, more than a trace can (64 MiB)"
                                    : "not a regular file";
        return false;
    }
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
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
    return ParseReplayScript(text, geometry, script, error);
}

}  // namespace devsim
