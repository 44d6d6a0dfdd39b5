// velor-flash's device options over arbitrary argument vectors (arguments separated by NUL).
#include <stdlib.h>

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
    // The port may also come from the environment; the fuzzer's must come from the arguments.
    unsetenv("VELOR_PORT");
    const bool allowHex = data[0] & 1;
    const std::string command = allowHex ? "write" : (data[0] & 2) ? "detect" : "reset";
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
    const auto options = velor::cli::ParseDeviceOptions(command, args, error);
    if (!options) {
        Expect(!error.empty(), "a refusal without a reason");
        return 0;
    }
    if (options->help || options->version) {
        return 0;
    }
    Expect(!options->port.empty(), "no port");
    Expect(options->baudIndex >= 0 &&
               options->baudIndex < static_cast<int>(velor::BaudRateItems().size()),
           "a rate outside the list");
    Expect(allowHex || options->hexFile.empty(), "--hex where it is not an option");
    // --port P, --port=P, -p P and -pP all leave the port's text inside one argument.
    bool portNamed = false;
    for (const std::string& arg : args)
        portNamed = portNamed || arg.find(options->port) != std::string::npos;
    Expect(portNamed, "a port that no argument named");
    return 0;
}
