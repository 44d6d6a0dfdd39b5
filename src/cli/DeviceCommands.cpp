// velor-flash detect, write and reset: the window's device operations from a terminal.

#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "app/Conversions.h"
#include "app/MainWindowModel.h"
#include "cli/Commands.h"
#include "cli/DeviceOptions.h"
#include "cli/FirmwareLoad.h"
#include "cli/Interrupts.h"
#include "cli/OutcomeCodes.h"
#include "cli/SystemErrors.h"
#include "cli/TerminalHost.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/FirmwareImage.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"
#include "protocol/DeviceSession.h"
#include "serial/MainThreadQueue.h"
#include "serial/TBComPort.h"
#include "skin/TsGauge.h"

namespace velor::cli {

namespace {

enum class Operation { Detect, Write, Reset };

const char* UsageOf(Operation op) {
    switch (op) {
        case Operation::Detect:
            return "Usage: velor-flash detect --port P [--baud RATE]\n"
                   "Wakes and identifies the device and prints its description.\n";
        case Operation::Write:
            return "Usage: velor-flash write --port P [--baud RATE] [--hex FILE]\n"
                   "Writes the embedded release (or the Intel HEX FILE) into the device.\n"
                   "Ctrl+C stops the write before its next command and says what the device\n"
                   "then holds; a second Ctrl+C ends at once.\n";
        case Operation::Reset:
            return "Usage: velor-flash reset --port P [--baud RATE]\n"
                   "Resets the device.\n";
    }
    return "";
}

constexpr const char* kCommonHelp =
    "  --port P      the serial port: an absolute path, or a name under /dev\n"
    "  --baud RATE   110 300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 115200\n"
    "                128000 256000 (default 115200)\n"
    "Exit codes: 0 done, 1 refused or failed, 2 usage, 3 port error, 4 stopped.\n";

int Run(Operation op, const Args& args) {
    std::string error;
    const auto options = ParseDeviceOptions(args, op == Operation::Write, error);
    if (!options) {
        std::fprintf(stderr, "velor-flash: %s\n%s%s", error.c_str(), UsageOf(op), kCommonHelp);
        return kExitUsage;
    }
    if (options->help) {
        std::printf(
            "%s%s%s", UsageOf(op),
            op == Operation::Write
                ? "  --hex FILE    write this Intel HEX file instead of the embedded release\n"
                : "",
            kCommonHelp);
        return kExitDone;
    }

#ifdef __linux__
    // Every read ends by a 1 ms gap timer; the default 50 us slack on it is throughput.
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
#endif
    MainWindowModel form;
    form.cbPort.Items = {options->port};
    form.cbPort.ItemIndex = 0;
    form.cbBaudRate.Items = BaudRateItems();
    form.cbBaudRate.ItemIndex = options->baudIndex;
    TerminalHost host(&form);
    auto image = std::make_shared<const FirmwareImage>();

    return ExitCodeOfErrors(host, [&] {
        // The port's event thread hands its notifications over at every turn of the host.
        TMainThreadQueue dispatcher;
        dispatcher.SetErrorReport(
            [&host](const std::string& message) { host.ShowError(ErrorBoxText(message)); });
        TBComPort port;
        port.SetDispatcher(dispatcher);
        ApplyFormSettings(port);
        DeviceSession session(form, host, port, image);
        const TerminalHost::TurnHooks hooks(host, [&dispatcher] { dispatcher.ServePending(); });
        session.SetStopRequest(&InterruptGuard::Requested);
        switch (op) {
            case Operation::Detect:
                session.ButtonConectClick();
                break;
            case Operation::Write:
                if (!LoadFirmware(options->hexFile, form, host, image)) {
                    return static_cast<int>(kExitRefused);
                }
                session.ButtonWriteClick();
                break;
            case Operation::Reset:
                session.ResetKey();
                break;
        }
        return ExitCodeOf(session.LastOutcome());
    });
}

}  // namespace

int RunDetect(const Args& args) {
    return Run(Operation::Detect, args);
}
int RunWrite(const Args& args) {
    return Run(Operation::Write, args);
}
int RunReset(const Args& args) {
    return Run(Operation::Reset, args);
}

}  // namespace velor::cli
