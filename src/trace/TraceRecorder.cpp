#include "trace/TraceRecorder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <nlohmann/json.hpp>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "app/UtcTimestamp.h"
#include "firmware/ImageDigest.h"
#include "protocol/PortSession.h"
#include "serial/BaudRates.h"
#include "serial/EComPort.h"
#include "serial/PortDescription.h"
#include "serial/TBComPort.h"
#include "trace/TraceFormat.h"

namespace velor {

using Json = nlohmann::ordered_json;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using TraceFile = std::unique_ptr<std::FILE, FileCloser>;

// A regular file, made or emptied, never through a link nor into a FIFO or a device.
TraceFile CreateTraceFile(const std::filesystem::path& path, std::string& problem) {
#ifdef _WIN32
    TraceFile file(_wfopen(path.c_str(), L"wb"));
    if (!file) {
        problem = std::strerror(errno);
    }
    return file;
#else
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        problem = errno == ELOOP ? "it is a link" : std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        problem = "it is not a regular file";
        return nullptr;
    }
    if (ftruncate(fd, 0) != 0 || fcntl(fd, F_SETFL, O_WRONLY) != 0) {
        problem = std::strerror(errno);
        close(fd);
        return nullptr;
    }
    TraceFile file(fdopen(fd, "w"));
    if (!file) {
        problem = std::strerror(errno);
        close(fd);
    }
    return file;
#endif
}

const char* SystemName() {
#ifdef _WIN32
    return "windows";
#elif defined(__linux__)
    return "linux";
#else
    return "posix";
#endif
}

int64_t ImageSize(const FirmwareImage& image) {
    const auto ranges = image.CoveredRanges();
    return ranges.empty() ? 0 : ranges.back().Last + 1;
}

const char* ParityName(int parity) {
    static const char* const names[] = {"none", "odd", "even", "mark", "space"};
    return parity >= 0 && parity < 5 ? names[parity] : "?";
}

}  // namespace

// The file of the current operation; lives on the writer thread only.
class TraceRecorder::Writer {
  public:
    Writer(const TraceProgram& program, std::unique_ptr<ITraceStore> store)
        : m_program(program), m_store(std::move(store)) {}

    void Dropped(int64_t count, Clock::time_point at) {
        if (m_open) {
            m_whole = false;
            Line({{"ev", "lost"}, {"events", count}}, true, at);
            m_lostSinceStart += count;
        }
    }

    // Returns true when the item closed a trace.
    bool Take(const Item& item, TraceResult& closed) {
        return std::visit([&](const auto& e) { return Handle(item.at, e, closed); }, item.event);
    }

  private:
    int64_t Micros(Clock::time_point at) const {
        return std::chrono::duration_cast<std::chrono::microseconds>(at - m_start).count();
    }

    void Line(const Json& json, bool stamp = true, Clock::time_point at = {}) {
        if (!m_file) {
            return;
        }
        std::string text;
        if (stamp) {
            Json stamped{{"t", Micros(at)}};
            stamped.update(json);
            text = stamped.dump(-1, ' ', true);
        } else {
            text = json.dump(-1, ' ', true);
        }
        text += '\n';
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), m_file.get()) != text.size()) {
            Lose(std::string("cannot write it: ") + std::strerror(errno != 0 ? errno : EIO));
        }
    }

    void Lose(const std::string& problem) {
        m_file.reset();
        m_whole = false;
        if (m_problem.empty()) {
            m_problem = problem;
        }
    }

    bool Handle(Clock::time_point at, const Begin& e, TraceResult& closed) {
        bool closedOne = false;
        if (m_open) {
            // An operation that never told its end (an exception past the session).
            m_whole = false;
            m_problem = "the operation never ended";
            closedOne = Close(closed);
        }
        m_open = true;
        m_start = at;
        m_whole = true;
        m_problem.clear();
        m_lostSinceStart = 0;
        m_path = m_store->PathFor(e.started, m_problem);
        if (m_path.empty()) {
            m_whole = false;
            return closedOne;
        }
        std::string why;
        m_file = CreateTraceFile(m_path, why);
        if (!m_file) {
            Lose("cannot create " + m_path.string() + ": " + why);
            return closedOne;
        }
        std::setvbuf(m_file.get(), nullptr, _IOFBF, 1 << 16);
        Json header{{"format", kTraceFormatName},
                    {"version", kTraceFormatVersion},
                    {"program", m_program.name},
                    {"programVersion", m_program.version},
                    {"os", SystemName()},
                    {"started", UtcTimestamp()},
                    {"operation", OperationName(e.started.Operation)},
                    {"port", e.started.Port},
                    {"baud", e.started.Baud}};
        const PortDescription adapter = MakePlatformPortDescriber()->Describe(e.started.Port);
        header["adapter"] = Json{{"description", DescriptionText(adapter)},
                                 {"vid", adapter.VendorId},
                                 {"pid", adapter.ProductId},
                                 {"serial", adapter.Serial}};
        if (e.started.Operation == SessionOperation::Write && e.image && !e.image->Empty()) {
            header["image"] =
                Json{{"sha256", ImageSha256(*e.image)}, {"size", ImageSize(*e.image)}};
        }
        Line(header, false);
        return closedOne;
    }

    bool Handle(Clock::time_point at, const DeviceIdentified& e, TraceResult&) {
        Line({{"ev", "identified"},
              {"bootloader", e.BootloaderVersion},
              {"pages", e.Pages},
              {"blocksPerPage", e.BlocksPerPage},
              {"blockSize", e.BlockSize},
              {"description", e.Description}},
             true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const ReleaseVerdict& v, TraceResult&) {
        static const char* const words[] = {"unknown", "same", "newer", "older"};
        const auto index = static_cast<std::size_t>(v);
        Line({{"ev", "release"}, {"verdict", index < 4 ? words[index] : "?"}}, true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const FlashAttemptEvent& e, TraceResult&) {
        Line({{"ev", "attempt"},
              {"command", AttemptCommandName(e.Command)},
              {"page", e.Page},
              {"block", e.Block},
              {"delayMs", e.DelayMs},
              {"verdict", AttemptVerdictName(e.Verdict)}},
             true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const CalibrationChanged& e, TraceResult&) {
        Line({{"ev", "calibration"},
              {"erase", e.EraseDelay},
              {"write", e.WriteDelay},
              {"program", e.ProgramDelay},
              {"failed", e.FailedAttempts}},
             true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const OperationEnded& e, TraceResult& closed) {
        if (!m_open) {
            return false;
        }
        Line({{"ev", "end"},
              {"outcome", OutcomeKindName(e.Kind)},
              {"reason", OutcomeReasonName(e.Reason)},
              {"headline", e.Headline},
              {"message", e.Message},
              {"portMessage", e.PortMessage},
              {"osError", e.OsError},
              {"pagesDone", e.Progress.PagesDone},
              {"bytes", e.Progress.Bytes},
              {"calibration",
               {e.Calibration.EraseDelay, e.Calibration.WriteDelay, e.Calibration.ProgramDelay}},
              {"failed", e.Calibration.FailedAttempts},
              {"lostEvents", m_lostSinceStart}},
             true, at);
        return Close(closed);
    }
    bool Handle(Clock::time_point at, const Opened& e, TraceResult&) {
        Line({{"ev", "open"},
              {"baud", e.baud},
              {"byteSize", e.byteSize},
              {"parity", ParityName(e.parity)},
              {"stopBits", e.stopBits == 0   ? "1"
                           : e.stopBits == 1 ? "1.5"
                                             : "2"}},
             true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const Closed&, TraceResult&) {
        Line({{"ev", "close"}}, true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const Wire& e, TraceResult&) {
        if (e.sent) {
            Line({{"ev", "tx"}, {"data", BytesAsText(e.bytes)}, {"written", e.written}}, true, at);
        } else {
            Line({{"ev", "rx"}, {"data", BytesAsText(e.bytes)}, {"readStart", Micros(e.readStart)}},
                 true, at);
        }
        return false;
    }
    bool Handle(Clock::time_point at, const PortFailure& e, TraceResult&) {
        Line({{"ev", "port-error"},
              {"message", e.message},
              {"osError", e.osError},
              {"text", e.text}},
             true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const LineFlags& e, TraceResult&) {
        Line({{"ev", "line-errors"}, {"flags", e.flags}}, true, at);
        return false;
    }
    bool Handle(Clock::time_point at, const ErrorBox& e, TraceResult&) {
        Line({{"ev", "error-box"}, {"text", e.text}}, true, at);
        return false;
    }

    bool Close(TraceResult& closed) {
        if (m_file) {
            errno = 0;
            const bool flushed = std::fflush(m_file.get()) == 0;
            const int flushError = errno;
            FILE* raw = m_file.release();
            if (std::fclose(raw) != 0 || !flushed) {
                Lose(std::string("cannot write it: ") + std::strerror(flushError != 0 ? flushError
                                                                      : errno != 0    ? errno
                                                                                      : EIO));
            }
        }
        if (m_whole && m_lostSinceStart > 0) {
            m_whole = false;
        }
        if (!m_whole && m_problem.empty()) {
            m_problem = "the recorder's queue overflowed: " + std::to_string(m_lostSinceStart) +
                        " events are missing";
        }
        closed = TraceResult{m_path.string(), m_whole, m_problem};
        m_open = false;
        m_store->Closed(closed);
        return true;
    }

    const TraceProgram& m_program;
    std::unique_ptr<ITraceStore> m_store;
    TraceFile m_file;
    std::filesystem::path m_path;
    Clock::time_point m_start;
    bool m_open = false;
    bool m_whole = false;
    std::string m_problem;
    int64_t m_lostSinceStart = 0;
};

TraceRecorder::TraceRecorder(TraceProgram program, std::unique_ptr<ITraceStore> store,
                             const std::shared_ptr<const FirmwareImage>* image,
                             std::size_t queueLimit)
    : m_program(std::move(program)),
      m_image(image),
      m_queueLimit(queueLimit),
      m_writer(std::make_unique<Writer>(m_program, std::move(store))),
      m_thread([this] { Run(); }) {}

TraceRecorder::~TraceRecorder() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void TraceRecorder::Push(Event&& event, std::size_t bytes, bool wake) noexcept {
    const Clock::time_point at = Clock::now();
    bool ends = std::holds_alternative<OperationEnded>(event);
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        // The beginning and the end of an operation always pass: the trace says what it lost.
        const bool framing = ends || std::holds_alternative<Begin>(event);
        if (!framing && m_queuedBytes + bytes > m_queueLimit) {
            ++m_dropped;
            return;
        }
        try {
            m_queue.push_back(Item{at, std::move(event), m_dropped});
        } catch (...) {
            ++m_dropped;
            return;
        }
        m_dropped = 0;
        m_queuedBytes += bytes;
        if (ends) {
            ++m_endsQueued;
        }
    }
    if (wake) {
        m_wake.notify_one();
    }
}

void TraceRecorder::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        // The port's path never wakes the writer: it looks every few milliseconds.
        m_wake.wait_for(lock, std::chrono::milliseconds(20),
                        [this] { return m_quit || m_endsQueued > m_endsWritten; });
        std::deque<Item> items;
        items.swap(m_queue);
        m_queuedBytes = 0;
        const bool quit = m_quit;
        lock.unlock();

        for (const Item& item : items) {
            if (item.droppedBefore > 0) {
                m_writer->Dropped(item.droppedBefore, item.at);
            }
            TraceResult closed;
            bool wasClosed = false;
            try {
                wasClosed = m_writer->Take(item, closed);
            } catch (const std::exception&) {
                // A trace lost to the system (memory, a name) is no reason to stop recording.
            }
            if (wasClosed && std::holds_alternative<OperationEnded>(item.event)) {
                const std::lock_guard<std::mutex> done(m_mutex);
                m_last = closed;
                ++m_endsWritten;
                m_traceClosed.notify_all();
            }
        }
        lock.lock();
        if (quit && m_queue.empty()) {
            return;
        }
    }
}

TraceResult TraceRecorder::LastTrace() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.notify_one();
    m_traceClosed.wait(lock, [this] { return m_endsWritten >= m_endsQueued; });
    return m_last;
}

void TraceRecorder::OnStarted(const OperationStarted& e) {
    std::shared_ptr<const FirmwareImage> image = m_image != nullptr ? *m_image : nullptr;
    Push(Begin{e, std::move(image)}, sizeof(Begin), true);
}
void TraceRecorder::OnIdentified(const DeviceIdentified& e) {
    Push(e, sizeof e + e.Description.size());
}
void TraceRecorder::OnReleaseChecked(ReleaseVerdict v) {
    Push(v, sizeof v);
}
void TraceRecorder::OnAttempt(const FlashAttemptEvent& e) {
    // The frame and the reply are in the wire's lines already.
    FlashAttemptEvent copy = e;
    copy.Frame.clear();
    copy.Reply.clear();
    copy.LogWord.clear();
    Push(std::move(copy), sizeof e);
}
void TraceRecorder::OnCalibration(const CalibrationChanged& e) {
    Push(e, sizeof e);
}
void TraceRecorder::OnPortErrorReport(const std::string& text) {
    Push(ErrorBox{text}, sizeof(ErrorBox) + text.size());
}
void TraceRecorder::OnEnded(const OperationEnded& e) {
    Push(e, sizeof e + e.Message.size(), true);
}

void TraceRecorder::PortOpened(const TBComPort& port) noexcept {
    Push(Opened{BaudRateValue(port.BaudRate()), static_cast<int>(port.ByteSize()) + 5,
                static_cast<int>(port.Parity()), static_cast<int>(port.StopBits())},
         sizeof(Opened));
}
void TraceRecorder::PortClosed() noexcept {
    Push(Closed{}, sizeof(Closed));
}
void TraceRecorder::Sent(std::string_view bytes, int32_t written) noexcept {
    try {
        Push(Wire{true, std::string(bytes), written, {}}, sizeof(Wire) + bytes.size());
    } catch (...) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_dropped;
    }
}
void TraceRecorder::Received(std::string_view bytes, Clock::time_point readStart) noexcept {
    try {
        Push(Wire{false, std::string(bytes), 0, readStart}, sizeof(Wire) + bytes.size());
    } catch (...) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_dropped;
    }
}
void TraceRecorder::Failed(const EComPort& error) noexcept {
    try {
        Push(PortFailure{static_cast<int>(error.Number()), error.OsError(), error.what()},
             sizeof(PortFailure));
    } catch (...) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        ++m_dropped;
    }
}
void TraceRecorder::LineErrors(uint32_t flags) noexcept {
    Push(LineFlags{flags}, sizeof(LineFlags));
}

TraceScope::TraceScope(PortSession& session, TraceRecorder& recorder)
    : m_session(session), m_recorder(recorder) {
    m_session.Events().Add(m_recorder);
    m_session.Port().SetWireTap(&m_recorder);
}

TraceScope::~TraceScope() {
    m_session.Port().SetWireTap(nullptr);
    m_session.Events().Remove(m_recorder);
}

}  // namespace velor
