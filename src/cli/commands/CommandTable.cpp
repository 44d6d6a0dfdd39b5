#include "cli/commands/CommandTable.h"

#include <CLI/CLI.hpp>
#include <algorithm>

#include "cli/commands/CheckOptions.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/DeviceOptions.h"
#include "cli/commands/PortsOptions.h"
#include "cli/commands/TraceShowOptions.h"
#include "cli/production/GangOptions.h"
#include "cli/records/RecordsOptions.h"
#include "cli/text/Translate.h"

namespace velor::cli {

const std::vector<CommandEntry>& CommandEntries() {
    static const std::vector<CommandEntry> entries{
        {"check",
         Tr("check an Intel HEX text (default: the embedded release) and build its image")},
        {"ports", Tr("list the serial ports present (--long: what each one is)")},
        {"doctor", Tr("check the ports, the permissions and the device, for support")},
        {"detect", Tr("wake and identify the device, print its description")},
        {"write", Tr("write the firmware into the device; with several ports (--port A --port B, "
                     "--ports A,B,C or --all) into several devices at once")},
        {"station", Tr("a production station: write each device that appears, in turn")},
        {"reset", Tr("reset the device")},
        {"report", Tr("yield, cycle times and failures from the station's record database")},
        {"records", Tr("init: create a record database's schema; push: send spooled records")},
        {"trace", Tr("trace show FILE [--json]: tell what a wire trace (--trace) holds")},
    };
    return entries;
}

struct AllCommandApps::Bound {
    CheckOptions check;
    PortsOptions ports;
    DoctorOptions doctor;
    DeviceOptions detect, write, reset;
    GangOptions gang, station;
    ReportOptions report;
    RecordsOptions records;
    TraceShowOptions trace;
};

AllCommandApps::AllCommandApps() : m_bound(std::make_unique<Bound>()) {
    m_apps.push_back(CheckApp(m_bound->check));
    m_apps.push_back(PortsApp(m_bound->ports));
    m_apps.push_back(DoctorApp(m_bound->doctor));
    m_apps.push_back(DeviceApp("detect", m_bound->detect));
    m_apps.push_back(DeviceApp("write", m_bound->write));
    m_apps.push_back(GangApp(false, m_bound->gang));
    m_apps.push_back(GangApp(true, m_bound->station));
    m_apps.push_back(DeviceApp("reset", m_bound->reset));
    m_apps.push_back(ReportApp(m_bound->report));
    m_apps.push_back(RecordsApp(m_bound->records));
    m_apps.push_back(TraceShowApp(m_bound->trace));
}

AllCommandApps::~AllCommandApps() = default;

bool AllCommandApps::TakesValue(const std::string& name) const {
    for (const auto& app : m_apps) {
        if (velor::cli::TakesValue(*app, name)) {
            return true;
        }
    }
    return false;
}

CommandLineSplit SplitCommandLine(const Args& args) {
    const AllCommandApps apps;
    // The words that are no option and no option's value; an unknown option before the command
    // may have taken one of them as its value, so a command's name wins over an earlier word.
    std::vector<std::size_t> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '-') {
            words.push_back(i);
            continue;
        }
        // "--port P" and "-p P" take the next word; "--port=P" and "-pP" hold their value.
        const bool separateValue =
            arg.find('=') == std::string::npos && (arg.starts_with("--") || arg.size() == 2);
        if (separateValue && apps.TakesValue(arg)) {
            ++i;
        }
    }
    if (words.empty()) {
        return {"", args};
    }
    std::size_t chosen = words.front();
    for (const std::size_t i : words) {
        const bool known = std::any_of(CommandEntries().begin(), CommandEntries().end(),
                                       [&](const CommandEntry& e) { return args[i] == e.name; });
        if (known) {
            chosen = i;
            break;
        }
    }
    CommandLineSplit split{args[chosen], {}};
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i != chosen) {
            split.args.push_back(args[i]);
        }
    }
    return split;
}

}  // namespace velor::cli
