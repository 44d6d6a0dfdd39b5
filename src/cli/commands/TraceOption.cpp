#include "cli/commands/TraceOption.h"

#include "cli/output/ControlEscapes.h"

namespace velor::cli {

std::unique_ptr<TraceRecorder> MakeTraceRecorder(const std::string& value, const std::string& port,
                                                 const std::shared_ptr<const FirmwareImage>* image) {
    if (value.empty()) {
        return nullptr;
    }
    std::string problem;
    std::unique_ptr<ITraceStore> store =
        value.find("{port}") != std::string::npos || NamesFolder(value)
            ? MakePortStore(value, port, problem)
            : MakeFileStore(value);
    return std::make_unique<TraceRecorder>(TraceProgram{"velor-flash", VELOR_PROGRAM_VERSION},
                                           std::move(store), image);
}

bool TraceFitsPorts(const std::string& value, std::string& error) {
    if (value.empty() || value.find("{port}") != std::string::npos || NamesFolder(value)) {
        return true;
    }
    error = "--trace of several ports needs a folder (ending in /) or a name with {port}";
    return false;
}

void TellTrace(const TraceResult& result, bool named, std::FILE* out) {
    if (!result.whole && !result.problem.empty()) {
        std::fprintf(out, "velor-flash: the trace %s is not whole: %s\n",
                     EscapeControls(result.path.empty() ? "(none)" : result.path).c_str(),
                     EscapeControls(result.problem).c_str());
    } else if (named && !result.path.empty()) {
        std::fprintf(out, "velor-flash: trace %s\n", EscapeControls(result.path).c_str());
    }
}

}  // namespace velor::cli
