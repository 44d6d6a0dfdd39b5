#include "trace/WindowTraces.h"

#include "serial/TBComPort.h"

namespace velor {

WindowTraces::WindowTraces(const std::filesystem::path& folder, SessionEventFanOut& events,
                           TBComPort& port, const std::shared_ptr<const FirmwareImage>* image)
    : m_events(events), m_port(port) {
    if (folder.empty()) {
        return;
    }
    m_recorder = std::make_unique<TraceRecorder>(
        TraceProgram{"velor-bootloader", VELOR_PROGRAM_VERSION},
        MakeFolderStore(folder, kWindowTracesKept, kWindowTraceBytesKept), image);
    m_events.Add(*m_recorder);
    m_port.SetWireTap(m_recorder.get());
}

WindowTraces::~WindowTraces() {
    if (m_recorder) {
        m_port.SetWireTap(nullptr);
        m_events.Remove(*m_recorder);
    }
}

std::filesystem::path UserTraceFolder(
    const std::function<std::filesystem::path(const char*)>& environment) {
    const auto& given = environment;
#ifdef _WIN32
    const std::filesystem::path local = given("LOCALAPPDATA");
    return local.empty() ? local : local / "Velor Bootloader" / "traces";
#else
    std::filesystem::path state = given("XDG_STATE_HOME");
    if (state.empty() || !state.is_absolute()) {
        const std::filesystem::path home = given("HOME");
        if (home.empty()) {
            return {};
        }
        state = home / ".local" / "state";
    }
    return state / "velor-bootloader" / "traces";
#endif
}

}  // namespace velor
