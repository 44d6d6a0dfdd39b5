#include "cli/commands/TraceOption.h"

#include <CLI/CLI.hpp>

#include "cli/output/ControlEscapes.h"
#include "cli/text/Translate.h"

namespace velor::cli {

void AddTraceOption(CLI::App& app, std::string& trace, TraceUse use) {
    const char* text =
        use == TraceUse::Device
            ? Tr("record the operation's wire trace into FILE (a folder: a file in it named by "
                 "time, "
                 "port and operation); 'velor-flash trace show FILE' tells what it holds")
        : use == TraceUse::Gang
            ? Tr("record each device's wire trace: FILE is a folder (ending in /) or a name with "
                 "{port}, which becomes each port's name")
            : Tr("keep the wire trace of every device that did not end done in the folder FILE (by "
                 "default the record's name with -traces) and name it in the device's record");
    app.add_option("--trace", trace, text)->type_name(use == TraceUse::Station ? "DIR" : "FILE");
}

std::unique_ptr<TraceRecorder> MakeTraceRecorder(
    const std::string& value, const std::string& port,
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
    error = Tr("--trace of several ports needs a folder (ending in /) or a name with {port}");
    return false;
}

void TellTrace(const TraceResult& result, bool named, std::FILE* out) {
    if (!result.whole && !result.problem.empty()) {
        std::fprintf(out, Tr("velor-flash: the trace %s is not whole: %s\n"),
                     EscapeControls(result.path.empty() ? "(none)" : result.path).c_str(),
                     EscapeControls(result.problem).c_str());
    } else if (named && !result.path.empty()) {
        std::fprintf(out, Tr("velor-flash: trace %s\n"), EscapeControls(result.path).c_str());
    }
}

}  // namespace velor::cli
