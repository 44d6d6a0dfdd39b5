#include "cli/commands/OptionTable.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdlib>

#include "cli/Commands.h"
#include "cli/platform/PortTexts.h"
#include "cli/text/Translate.h"
#include "serial/BaudRates.h"

namespace velor::cli {

namespace {

const CLI::Validator kNotEmpty(
    [](const std::string& value) { return value.empty() ? std::string("an empty value") : ""; }, "",
    "not empty");

void AddPort(std::vector<std::string>& ports, const std::string& port) {
    if (std::find(ports.begin(), ports.end(), port) == ports.end()) {
        ports.push_back(port);
    }
}

}  // namespace

void AddPortOption(CLI::App& app, std::string& port) {
    app.add_option("-p,--port", port, PortOptionHelp())->type_name("P")->check(kNotEmpty);
}

void AddPortsOptions(CLI::App& app, std::vector<std::string>& ports, bool& allPorts) {
    app.add_option_function<std::vector<std::string>>(
           "-p,--port",
           [&ports](const std::vector<std::string>& given) {
               for (const auto& port : given) {
                   AddPort(ports, port);
               }
           },
           Tr("a serial port; repeat it for each device"))
        ->type_name("P")
        ->check(kNotEmpty)
        ->allow_extra_args(false)
        ->trigger_on_parse();
    app.add_option_function<std::string>(
           "--ports",
           [&ports](const std::string& list) {
               std::size_t begin = 0;
               while (begin <= list.size()) {
                   const std::size_t end = std::min(list.find(',', begin), list.size());
                   if (end > begin) {
                       AddPort(ports, list.substr(begin, end - begin));
                   }
                   begin = end + 1;
               }
           },
           Tr("the ports separated by commas"))
        ->type_name("LIST")
        ->check(kNotEmpty)
        ->trigger_on_parse();
    app.add_flag("--all", allPorts, Tr("every port in the port list"));
}

void AddBaudOption(CLI::App& app, int& baudIndex) {
    std::string rates;
    for (const std::string& rate : BaudRateItems()) {
        rates += (rates.empty() ? "" : " ") + rate;
    }
    app.add_option_function<std::string>(
           "-b,--baud",
           [&baudIndex](const std::string& rate) {
               std::string error;
               const auto index = BaudIndexOf(rate, error);
               if (!index) {
                   throw CLI::ValidationError(error);
               }
               baudIndex = *index;
           },
           Tr("the rate, one of ") + rates + Tr(" (default ") + DefaultBaudText() + ")")
        ->type_name("RATE");
}

void AddHexOption(CLI::App& app, std::string& hexFile) {
    app.add_option("--hex", hexFile,
                   Tr("write this Intel HEX file instead of the embedded release"))
        ->type_name("FILE")
        ->check(kNotEmpty);
}

void AddOutputOptions(CLI::App& app, bool& quiet, bool& json, std::string& logFile, OutputUse use) {
    switch (use) {
        case OutputUse::Device:
            app.add_flag("-q,--quiet", quiet, Tr("print only errors and the result"));
            app.add_flag(
                "--json", json,
                Tr("JSON Lines events on stdout (start, progress, message, error, result), "
                   "nothing else there (man velor-flash; json-events.md)"));
            app.add_option("--log", logFile,
                           Tr("append the attempt log to FILE: a header per run, one line per "
                              "erase, write and program attempt, the result"))
                ->type_name("FILE")
                ->check(kNotEmpty);
            return;
        case OutputUse::Gang:
            app.add_flag("-q,--quiet", quiet,
                         Tr("print only errors and the final table: no line per port"));
            app.add_flag("--json", json,
                         Tr("JSON Lines events on stdout, nothing else there: each device's start, "
                            "progress, message, error and result with its port, as they come, "
                            "then a gang event with the exit code (json-events.md)"));
            break;
        case OutputUse::Station:
            app.add_flag("-q,--quiet", quiet,
                         Tr("print only errors, a line per device as it ends and the totals: no "
                            "board"));
            app.add_flag("--json", json,
                         Tr("JSON Lines events on stdout, nothing else there, and no board: each "
                            "write's events with its port and slot, a device event (its record) "
                            "per device, a station event with the figures at the end "
                            "(json-events.md)"));
            break;
    }
    app.add_option("--log", logFile,
                   Tr("append every device's attempt log to FILE, each line beginning with its "
                      "port and a tab: a header per device, one line per erase, write and program "
                      "attempt, the result"))
        ->type_name("FILE")
        ->check(kNotEmpty);
}

std::string OutputOptionsProblem(bool quiet, bool json) {
    return quiet && json ? Tr("--quiet and --json exclude each other") : "";
}

std::string PortFromEnvironment() {
    const char* port = std::getenv("VELOR_PORT");
    return port == nullptr ? std::string() : std::string(port);
}

}  // namespace velor::cli
