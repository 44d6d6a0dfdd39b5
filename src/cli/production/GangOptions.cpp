#include "cli/production/GangOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <fstream>
#include <iterator>

#include "cli/commands/CommandLine.h"
#include "cli/commands/OptionTable.h"
#include "cli/commands/TraceOption.h"
#include "cli/text/Translate.h"
#include "serial/ListSerialPorts.h"

namespace velor::cli {

namespace {

const CommandText kGangText{
    "write",
    Tr("Usage: velor-flash write --port A --port B ... | --ports A,B,C | --all\n"
       "                         [--baud RATE] [--hex FILE] [-q | --json] [--log FILE]"),
    Tr("Writes the embedded release (or the Intel HEX FILE) into the devices on all these ports "
       "at\n"
       "once, each by its own session; one device's refusal, failure or unplugging leaves the "
       "others\n"
       "going. On a terminal a line per port follows its write; at the end a table gives each\n"
       "port's outcome (done, refused, failed, stopped) with the system's message, seconds, "
       "failed\n"
       "attempts and calibration."),
    Tr("Ctrl+C stops every write before its next command; a second Ctrl+C ends at once.\n"
       "Exit codes: 0 all done; otherwise the worst of the devices' codes: 3 port error, then\n"
       "1 refused or failed, then 4 stopped; 2 usage.\n")};

const CommandText kStationText{
    "station",
    Tr("Usage: velor-flash station --port A [--port B ...] | --ports A,B,C | --all\n"
       "                           | --slot NAME=PORT ... | --slots FILE\n"
       "                           [--count N] [--record FILE|URL] [--station NAME]\n"
       "                           [--baud RATE] [--hex FILE] [-q | --json] [--log FILE]"),
    Tr("A production station: on every port it waits for a device to answer, writes it, reports\n"
       "it, and waits for it to go away (or to come back holding the release just written) before\n"
       "taking the next one. Ends on Ctrl+C or after N devices in all."),
    Tr("Exit codes: 0 all done; otherwise the worst of the devices' codes (3, then 1, then 4);\n"
       "4 when ended by Ctrl+C; 2 usage.\n")};

constexpr std::size_t kSlotsFileLimit = 64 * 1024;

std::string Trimmed(const std::string& text) {
    const auto begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) {
        return {};
    }
    return text.substr(begin, text.find_last_not_of(" \t\r") - begin + 1);
}

bool SplitSlot(const std::string& text, std::pair<std::string, std::string>& slot) {
    const auto equals = text.find('=');
    if (equals == std::string::npos) {
        return false;
    }
    slot = {Trimmed(text.substr(0, equals)), Trimmed(text.substr(equals + 1))};
    return !slot.first.empty() && !slot.second.empty();
}

bool AddSlot(GangOptions& options, const std::pair<std::string, std::string>& slot,
             std::string& error) {
    const auto& [name, port] = slot;
    if (std::find(options.ports.begin(), options.ports.end(), port) != options.ports.end() ||
        std::find(options.slots.begin(), options.slots.end(), name) != options.slots.end()) {
        error = Tr("the slot '") + name + Tr("' or its port '") + port + Tr("' is given twice");
        return false;
    }
    options.slots.resize(options.ports.size());
    options.ports.push_back(port);
    options.slots.push_back(name);
    return true;
}

bool AddSlotsFile(GangOptions& options, const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in) {
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    if (!in && !in.eof()) {
        error = Tr("cannot read the slots file '") + path + "'";
        return false;
    }
    if (text.size() > kSlotsFileLimit) {
        error = Tr("the slots file '") + path + Tr("' is over 64 KiB");
        return false;
    }
    std::vector<std::pair<std::string, std::string>> slots;
    if (!ParseSlotLines(text, slots, error)) {
        error = Tr("the slots file '") + path + "': " + error;
        return false;
    }
    for (const auto& slot : slots) {
        if (!AddSlot(options, slot, error)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ParseSlotLines(const std::string& text,
                    std::vector<std::pair<std::string, std::string>>& slots, std::string& error) {
    std::size_t begin = 0;
    for (int number = 1; begin < text.size(); ++number) {
        const std::size_t end = std::min(text.find('\n', begin), text.size());
        const std::string line = Trimmed(text.substr(begin, end - begin));
        begin = end + 1;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::pair<std::string, std::string> slot;
        if (!SplitSlot(line, slot)) {
            error = Tr("line ") + std::to_string(number) + Tr(" is not NAME=PORT");
            return false;
        }
        slots.push_back(slot);
    }
    return true;
}

std::unique_ptr<CLI::App> GangApp(bool station, GangOptions& options) {
    auto app = MakeCommandApp(station ? kStationText : kGangText);
    AddPortsOptions(*app, options.ports, options.allPorts);
    if (station) {
        app->add_option("--count", options.count, Tr("end after N devices"))
            ->type_name("N")
            ->check(CLI::Range(1L, 1000000000L));
        app->add_option(
               "--record", options.recordFile,
               Tr("store one record per device (time, station, slot, port, adapter serial "
                  "number, release, SHA-256 of the image, outcome, message, seconds, failed "
                  "attempts, calibration): CSV for a name ending in .csv, JSON Lines for "
                  ".jsonl, .ndjson or .json (a CSV cell beginning with =, +, -, @, tab or CR "
                  "gets a leading apostrophe); an SQLite database for .db or .sqlite "
                  "(several stations may share it); a postgresql:// URL: the line's "
                  "server, records waiting in this user's spool while it is away (give no "
                  "password in the URL: ~/.pgpass, PGPASSFILE, a service file or "
                  "PGPASSWORD). A record that cannot be stored ends the station (exit 1)"))
            ->type_name("FILE|URL");
        // Slots and ports keep the order they are given in.
        app->add_option_function<std::string>(
               "--slot",
               [&options](const std::string& value) {
                   std::pair<std::string, std::string> slot;
                   std::string error = Tr("--slot needs NAME=PORT");
                   if (!SplitSlot(value, slot) || !AddSlot(options, slot, error)) {
                       throw CLI::ValidationError(error);
                   }
               },
               Tr("a slot of the fixture and its port; PORT may be usb-path:1-1.4:1.0 (where the "
                  "adapter is plugged in, as 'ports --long' shows it: the same after a replug), a "
                  "/dev/serial/by-path or by-id link, usb:VID:PID:SERIAL; repeat it for each slot"))
            ->type_name("NAME=PORT")
            ->allow_extra_args(false)
            ->trigger_on_parse();
        app->add_option_function<std::string>(
               "--slots",
               [&options](const std::string& path) {
                   std::string error;
                   if (!AddSlotsFile(options, path, error)) {
                       throw CLI::ValidationError(error);
                   }
               },
               Tr("the slots, NAME=PORT a line (a line starting with # is a comment)"))
            ->type_name("FILE")
            ->trigger_on_parse();
        app->add_option("--station", options.stationName,
                        Tr("the station's name in the records (default: the computer's name)"))
            ->type_name("NAME");
    }
    AddOutputOptions(*app, options.quiet, options.json, options.logFile,
                     station ? OutputUse::Station : OutputUse::Gang);
    AddBaudOption(*app, options.baudIndex);
    AddHexOption(*app, options.hexFile);
    AddTraceOption(*app, options.trace, station ? TraceUse::Station : TraceUse::Gang);
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
    options.slots.resize(options.ports.size());
    if (options.help || options.version) {
        return options;
    }
    if (const std::string problem = OutputOptionsProblem(options.quiet, options.json);
        !problem.empty()) {
        error = UsageErrorLine(app->get_name(), problem);
        return std::nullopt;
    }
    if (options.ports.empty() && !options.allPorts) {
        error = UsageErrorLine(app->get_name(), Tr("give the ports with --port P (repeated), "
                                                   "--ports A,B,C, --all or --slot NAME=PORT"));
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
