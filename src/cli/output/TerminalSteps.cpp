#include "cli/output/TerminalSteps.h"

#include "cli/text/Translate.h"
#include "protocol/Texts.h"

namespace velor::cli {

std::string WithTerminalSteps(const std::string& message, const std::string& port) {
    const std::string windowStep = texts::kStatusOpenHex;
    std::string out;
    std::size_t begin = 0;
    while (begin <= message.size()) {
        std::size_t end = message.find('\n', begin);
        if (end == std::string::npos) {
            end = message.size();
        }
        const std::string line = message.substr(begin, end - begin);
        if (line == windowStep) {
            const std::string command = port.empty() ? std::string("velor-flash write")
                                                     : "velor-flash write --port " + port;
            out += Tr("To write firmware: ") + command +
                   Tr(" (the release it carries), or with --hex FILE.");
        } else {
            out += line;
        }
        if (end == message.size()) {
            break;
        }
        out += '\n';
        begin = end + 1;
    }
    return out;
}

}  // namespace velor::cli
