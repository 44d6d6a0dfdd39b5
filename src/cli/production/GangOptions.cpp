#include "cli/production/GangOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/commands/CommandLine.h"
#include "cli/commands/OptionTable.h"
#include "serial/ListSerialPorts.h"

namespace velor::cli {

namespace {

const CommandText kGangText{
    "write",
    "Usage: velor-flash write --port A --port B ... | --ports A,B,C | --all\n"
    "                         [--baud RATE] [--hex FILE]",
    "Writes the embedded release (or the Intel HEX FILE) into the devices on all these ports at\n"
    "once, each by its own session; one device's refusal, failure or unplugging leaves the others\n"
    "going. On a terminal a line per port follows its write; at the end a table gives each\n"
    "port's outcome (done, refused, failed, stopped) with the system's message, seconds, failed\n"
    "attempts and calibration.",
    "Ctrl+C stops every write before its next command; a second Ctrl+C ends at once.\n"
    "Exit codes: 0 all done; otherwise the worst of the devices' codes: 3 port error, then\n"
    "1 refused or failed, then 4 stopped; 2 usage.\n"};

const CommandText kStationText{
    "station",
    "Usage: velor-flash station --port A [--port B ...] | --ports A,B,C | --all\n"
    "                           [--count N] [--record FILE] [--baud RATE] [--hex FILE]",
    "A production station: on every port it waits for a device to answer, writes it, reports\n"
    "it, and waits for it to go away (or to come back holding the release just written) before\n"
    "taking the next one. Ends on Ctrl+C or after N devices in all.",
    "Exit codes: 0 all done; otherwise the worst of the devices' codes (3, then 1, then 4);\n"
    "4 when ended by Ctrl+C; 2 usage.\n"};

}  // namespace

std::unique_ptr<CLI::App> GangApp(bool station, GangOptions& options) {
    auto app = MakeCommandApp(station ? kStationText : kGangText);
    AddPortsOptions(*app, options.ports, options.allPorts);
    if (station) {
        app->add_option("--count", options.count, "end after N devices")
            ->type_name("N")
            ->check(CLI::Range(1L, 1000000000L));
        app->add_option("--record", options.recordFile,
                        "append one record per device (time, port, adapter serial number, "
                        "release, SHA-256 of the image, outcome, reason, message number, message, "
                        "seconds, failed attempts, calibration, version): CSV for a name ending in "
                        ".csv, JSON Lines for "
                        ".jsonl, .ndjson or .json. A CSV cell beginning with =, +, -, @, tab or CR "
                        "gets a leading apostrophe. A record that cannot be written ends the "
                        "station (exit 1)")
            ->type_name("FILE");
    }
    AddBaudOption(*app, options.baudIndex);
    AddHexOption(*app, options.hexFile);
    return app;
}

bool WantsSeveralPorts(const Args& args) {
    GangOptions options;
    const auto app = GangApp(false, options);
    std::string error;
    // A usage error is told by the command the answer chooses.
    ParseCommandLine(*app, args, error);
    return options.ports.size() > 1 || options.allPorts || app->get_option("--ports")->count() > 0;
}

std::optional<GangOptions> ParseGangOptions(const Args& args, bool station, std::string& error) {
    GangOptions options;
    const auto app = GangApp(station, options);
    if (!ParseInto(*app, options, args, error)) {
        return std::nullopt;
    }
    if (options.help || options.version) {
        return options;
    }
    if (options.ports.empty() && !options.allPorts) {
        error = UsageErrorLine(app->get_name(),
                               "give the ports with --port P (repeated), --ports A,B,C or --all");
        return std::nullopt;
    }
    return options;
}

std::string GangHelp(bool station) {
    GangOptions options;
    return HelpText(*GangApp(station, options));
}

std::vector<std::string> ChosenPorts(const GangOptions& options) {
    std::vector<std::string> ports = options.ports;
    if (options.allPorts) {
        std::vector<std::string> listed;
        ListSerialPorts(listed);
        for (const auto& port : listed) {
            if (std::find(ports.begin(), ports.end(), port) == ports.end()) {
                ports.push_back(port);
            }
        }
    }
    return ports;
}

}  // namespace velor::cli
