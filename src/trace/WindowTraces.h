#pragma once
// The windows' flight recorder: every device operation into the user's trace folder, keeping
// the newest 50 traces and at most 50 MB. The folder is made at the first operation, so the
// window's start-up never waits on a disk.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "trace/TraceRecorder.h"

namespace velor {

class TBComPort;

inline constexpr int kWindowTracesKept = 50;
inline constexpr std::uintmax_t kWindowTraceBytesKept = 50u * 1000 * 1000;

class WindowTraces {
  public:
    // Records the events' operations and the port's wire into folder; nothing for an empty
    // folder. All four outlive it.
    WindowTraces(const std::filesystem::path& folder, SessionEventFanOut& events, TBComPort& port,
                 const std::shared_ptr<const FirmwareImage>* image);
    ~WindowTraces();
    WindowTraces(const WindowTraces&) = delete;
    WindowTraces& operator=(const WindowTraces&) = delete;

  private:
    SessionEventFanOut& m_events;
    TBComPort& m_port;
    std::unique_ptr<TraceRecorder> m_recorder;
};

// %LOCALAPPDATA%\Velor Bootloader\traces on Windows, $XDG_STATE_HOME/velor-bootloader/traces
// (by default ~/.local/state/...) elsewhere; empty when the environment names no such place.
// environment: the front end's lookup of a variable (empty when unset).
std::filesystem::path UserTraceFolder(
    const std::function<std::filesystem::path(const char*)>& environment);

}  // namespace velor
