// velor-flash: the flasher's operations from a terminal.

#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/DllSearch.h"
#include "cli/Commands.h"
#include "cli/platform/Interrupts.h"
#include "cli/production/GangOptions.h"

namespace {

constexpr const char* kUsage =
    "Usage: velor-flash COMMAND [OPTIONS]\n"
    "Writes the KALMIRA-5K-2 firmware release into the device through its serial bootloader.\n"
    "\n"
    "Commands:\n"
    "  check [FILE]       check an Intel HEX text (default: the embedded release) and build its "
    "image\n"
    "  ports [--long]     list the serial ports present (--long: what each one is)\n"
    "  doctor [--port P]  check the ports, the permissions and the device, for support\n"
    "  detect --port P    wake and identify the device, print its description\n"
    "  write --port P     write the firmware into the device\n"
    "  write --port A --port B ...  (or --ports A,B,C, or --all) write several devices at once\n"
    "  station --port A ...  a production station: write each device that appears, in turn\n"
    "  reset --port P     reset the device\n"
    "  trace show FILE    tell what a wire trace (--trace) holds\n"
    "\n"
    "Run 'velor-flash COMMAND --help' for the options of a command.\n"
    "Exit codes: 0 done, 1 refused or failed, 2 usage, 3 port error, 4 stopped.\n";

// A device command runs with Ctrl+C as its stop; the others keep the default Ctrl+C.
int RunWithStop(int (*command)(const velor::cli::Args&), const velor::cli::Args& args) {
    const velor::cli::InterruptGuard ctrlC;
    return command(args);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velor::cli;
#ifdef _WIN32
    velor::LimitDllSearchToSystem32();
#endif
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : kExitDone;
    }
    std::setlocale(LC_TIME, "");  // the completion time in the regional long time format
    const std::string command = argv[1];
    const Args args(argv + 2, argv + argc);
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
    if (command == "trace")
        return RunTrace(args);
    std::fprintf(stderr, "velor-flash: unknown command '%s' (try 'velor-flash --help')\n",
                 command.c_str());
    return kExitUsage;
}
