// velor-flash's device options over arbitrary argument vectors (arguments separated by NUL).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/MainWindowModel.h"
#include "cli/commands/DeviceOptions.h"

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "options fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const bool allowHex = data[0] & 1;
    velor::cli::Args args;
    std::string current;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    args.push_back(current);

    std::string error;
    const auto options = velor::cli::ParseDeviceOptions(args, allowHex, error);
    if (!options) {
        Expect(!error.empty(), "a refusal without a reason");
        return 0;
    }
    if (options->help) {
        return 0;
    }
    Expect(!options->port.empty(), "no port");
    Expect(options->baudIndex >= 0 &&
               options->baudIndex < static_cast<int>(velor::BaudRateItems().size()),
           "a rate outside the list");
    Expect(allowHex || options->hexFile.empty(), "--hex where it is not an option");
    bool portNamed = false;
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        portNamed = portNamed || (args[i] == "--port" && args[i + 1] == options->port);
    Expect(portNamed, "a port that no --port named");
    return 0;
}
