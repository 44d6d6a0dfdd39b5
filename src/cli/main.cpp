// velor-flash: the flasher's operations from a terminal.

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>

#include "app/DllSearch.h"
#include "cli/Commands.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/CommandTable.h"
#include "cli/platform/ConsoleText.h"
#include "cli/platform/Interrupts.h"
#include "cli/production/GangOptions.h"
#include "cli/records/ConnectionUrl.h"
#include "cli/text/Translate.h"

namespace {

using namespace velor::cli;

std::string ProgramUsage() {
    std::string text =
        Tr("Usage: velor-flash COMMAND [OPTIONS]\n"
           "Writes the KALMIRA-5K-2 firmware release into the device through its serial "
           "bootloader.\n\nCommands:\n");
    for (const auto& entry : CommandEntries()) {
        std::string name = entry.name;
        text +=
            "  " + name + std::string(10 - name.size(), ' ') + WrapText(entry.summary, 12) + "\n";
    }
    return text +
           Tr("\nRun 'velor-flash COMMAND --help' for the options of a command; options may come "
              "before or\nafter the command. VELOR_PORT is the port of a command given no --port.\n"
              "Exit codes: 0 done, 1 refused or failed, 2 usage, 3 port error, 4 stopped.\n");
}

bool Has(const Args& args, const char* word) {
    return std::find(args.begin(), args.end(), word) != args.end();
}

int NoCommand(const Args& args) {
    if (Has(args, "--version")) {
        std::printf("%s\n", VersionLine().c_str());
        return kExitDone;
    }
    if (Has(args, "--help") || Has(args, "-h")) {
        std::fputs(ProgramUsage().c_str(), stdout);
        return kExitDone;
    }
    if (args.empty()) {
        std::fputs(ProgramUsage().c_str(), stderr);
        return kExitUsage;
    }
    std::fprintf(stderr, "%s\n", UsageErrorLine("velor-flash", Tr("no command given")).c_str());
    return kExitUsage;
}

int UnknownCommand(const std::string& command) {
    std::vector<std::string> names;
    for (const auto& entry : CommandEntries()) {
        names.emplace_back(entry.name);
    }
    std::string problem = Tr("unknown command '") + command + "'";
    if (const auto nearest = NearestName(command, names)) {
        problem += Tr(", did you mean '") + *nearest + "'?";
    }
    std::fprintf(stderr, "%s\n", UsageErrorLine("velor-flash", problem).c_str());
    return kExitUsage;
}

// A device command runs with Ctrl+C as its stop; the others keep the default Ctrl+C.
int RunWithStop(int (*command)(const Args&), const Args& args) {
    const InterruptGuard ctrlC;
    return command(args);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    velor::LimitDllSearchToSystem32();
#endif
    const ConsoleText consoleText;
    const auto [command, args] = SplitCommandLine(Args(argv + 1, argv + argc));
    // Copied: what others can read of this process's arguments shows no database password.
    MaskUrlPasswordsInArguments(argc, argv);
    if (command.empty()) {
        return NoCommand(args);
    }
    std::setlocale(LC_TIME, "");  // the completion time in the regional long time format
    if (command == "check")
        return RunCheck(args);
    if (command == "ports")
        return RunPorts(args);
    if (command == "doctor")
        return RunDoctor(args);
    if (command == "detect")
        return RunWithStop(RunDetect, args);
    if (command == "write")
        return RunWithStop(WantsSeveralPorts(args) ? RunGangWrite : RunWrite, args);
    if (command == "station")
        return RunWithStop(RunStation, args);
    if (command == "reset")
        return RunWithStop(RunReset, args);
    if (command == "report")
        return RunReport(args);
    if (command == "records")
        return RunRecords(args);
    if (command == "trace")
        return RunTrace(args);
    return UnknownCommand(command);
}
