#include "cli/commands/DeviceOptions.h"

#include <CLI/CLI.hpp>

#include "cli/commands/CommandLine.h"
#include "cli/commands/OptionTable.h"
#include "cli/commands/TraceOption.h"
#include "cli/text/Translate.h"

namespace velor::cli {

namespace {

// A write's progress is the write's alone: detect and reset say only what they share with it.
std::string Footer(const std::string& command) {
    std::string footer =
        Tr("Without --port the port is that of the environment variable VELOR_PORT.\n");
    if (command == "write") {
        footer += Tr(
            "On a terminal a write shows one progress line (bar, percent, pages, blocks, bytes,\n"
            "elapsed time, time left, calibrated delays; NO_COLOR turns its colour off); "
            "otherwise\n"
            "plain progress lines, at most one a second, on stderr. A write ends with a "
            "summary.\n");
    }
    return footer +
           Tr("Exit codes: 0 done, 1 refused or failed, 2 usage, 3 port error, 4 stopped.\n");
}

CommandText TextOf(const std::string& command) {
    if (command == "write") {
        return {"write",
                Tr("Usage: velor-flash write --port P [--baud RATE] [--hex FILE] [--trace FILE]"),
                Tr("Writes the embedded release (or the Intel HEX FILE) into the device.\n"
                   "Ctrl+C stops the write before its next command and says what the device\n"
                   "then holds; a second Ctrl+C ends at once."),
                Footer(command)};
    }
    if (command == "detect") {
        return {"detect", Tr("Usage: velor-flash detect --port P [--baud RATE] [--trace FILE]"),
                Tr("Wakes and identifies the device and prints its description."), Footer(command)};
    }
    return {"reset", Tr("Usage: velor-flash reset --port P [--baud RATE] [--trace FILE]"),
            Tr("Resets the device."), Footer(command)};
}

}  // namespace

std::unique_ptr<CLI::App> DeviceApp(const std::string& command, DeviceOptions& options) {
    auto app = MakeCommandApp(TextOf(command));
    AddPortOption(*app, options.port);
    AddBaudOption(*app, options.baudIndex);
    if (command == "write") {
        AddHexOption(*app, options.hexFile);
    }
    AddOutputOptions(*app, options.quiet, options.json, options.logFile);
    AddTraceOption(*app, options.traceFile, TraceUse::Device);
    return app;
}

std::optional<DeviceOptions> ParseDeviceOptions(const std::string& command, const Args& args,
                                                std::string& error) {
    DeviceOptions options;
    const auto app = DeviceApp(command, options);
    const std::string name = "velor-flash " + command;
    if (!ParseInto(*app, options, args, error)) {
        return std::nullopt;
    }
    if (options.help || options.version) {
        return options;
    }
    if (const std::string problem = OutputOptionsProblem(options.quiet, options.json);
        !problem.empty()) {
        error = UsageErrorLine(name, problem);
        return std::nullopt;
    }
    if (options.port.empty()) {
        options.port = PortFromEnvironment();
    }
    if (options.port.empty()) {
        error = UsageErrorLine(name, Tr("--port is required (or VELOR_PORT)"));
        return std::nullopt;
    }
    return options;
}

std::string DeviceHelp(const std::string& command) {
    DeviceOptions options;
    return HelpText(*DeviceApp(command, options));
}

}  // namespace velor::cli
