#include "cli/output/TerminalSteps.h"

#include "cli/text/Translate.h"
#include "protocol/Texts.h"

namespace velor::cli {

std::string WithTerminalSteps(const std::string& message, const std::string& port) {
    const std::string windowStep = texts::kStatusOpenHex;
    const std::string command =
        port.empty() ? std::string("velor-flash write") : "velor-flash write --port " + port;
    const std::string terminalStep =
        Tr("To write firmware: ") + command + Tr(" (the release it carries), or with --hex FILE.");
    std::string out = message;
    for (std::size_t at = out.find(windowStep); at != std::string::npos;
         at = out.find(windowStep, at + 1)) {
        const std::size_t end = at + windowStep.size();
        // Only the step's own line: never a part of another line.
        if ((at == 0 || out[at - 1] == '\n') && (end == out.size() || out[end] == '\n')) {
            out.replace(at, windowStep.size(), terminalStep);
            at += terminalStep.size() - 1;
        }
    }
    return out;
}

}  // namespace velor::cli
