#include "cli/commands/PortsOptions.h"

#include <CLI/CLI.hpp>

#include "cli/commands/CommandLine.h"
#include "cli/commands/OptionTable.h"
#include "cli/platform/PortTexts.h"
#include "cli/text/Translate.h"

namespace velor::cli {

std::unique_ptr<CLI::App> PortsApp(PortsOptions& options) {
    auto app = MakeCommandApp(
        {"ports", Tr("Usage: velor-flash ports [--long]"),
         Tr("Lists the serial ports present, one a line, sorted as the window's port list."),
         std::string(PortsListNote()) +
             Tr("Exit codes: 0 done, 2 usage, 3 no serial ports can be listed.\n")});
    app->add_flag("-l,--long", options.longList, PortsLongHelp());
    return app;
}

std::unique_ptr<CLI::App> DoctorApp(DoctorOptions& options) {
    auto app = MakeCommandApp(
        {"doctor", Tr("Usage: velor-flash doctor [--port P]"),
         Tr("Checks what a write needs, one line each with a verdict (ok, note, warn, FAIL) and "
            "what\n"
            "to do: the serial ports with their drivers, USB identities and latency timers, "
            "services\n"
            "that take adapters; with --port also the permissions, who holds the port, whether it\n"
            "opens and takes the settings, and whether a device answers the wake-up and\n"
            "identification and how fast. The output can be sent to support as it is."),
         Tr("Without --port the port is that of the environment variable VELOR_PORT, if set.\n"
            "Exit codes: 0 nothing failed, 1 a check failed, 2 usage.\n")});
    AddPortOption(*app, options.port);
    return app;
}

std::string PortsHelp() {
    PortsOptions options;
    return HelpText(*PortsApp(options));
}

std::string DoctorHelp() {
    DoctorOptions options;
    return HelpText(*DoctorApp(options));
}

std::optional<PortsOptions> ParsePortsOptions(const Args& args, std::string& error) {
    PortsOptions options;
    const auto app = PortsApp(options);
    if (!ParseInto(*app, options, args, error)) {
        return std::nullopt;
    }
    return options;
}

std::optional<DoctorOptions> ParseDoctorOptions(const Args& args, std::string& error) {
    DoctorOptions options;
    const auto app = DoctorApp(options);
    if (!ParseInto(*app, options, args, error)) {
        return std::nullopt;
    }
    if (options.port.empty()) {
        options.port = PortFromEnvironment();
    }
    return options;
}

}  // namespace velor::cli
