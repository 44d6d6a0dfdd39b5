#include "cli/production/GangStart.h"

#include <algorithm>
#include <cstdio>

#include "app/MainWindowModel.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/FirmwareLoad.h"
#include "cli/commands/OutcomeCodes.h"
#include "cli/commands/SystemErrors.h"
#include "cli/text/Translate.h"
#include "serial/BaudRates.h"

namespace velor::cli {

std::optional<int> EndBeforeDevices(const std::optional<GangOptions>& options, bool usable,
                                    const std::string& error, const char* help) {
    if (!options || !usable) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;
    }
    if (options->help || options->version) {
        PrintHelpOrVersion(options->help, help);
        return kExitDone;
    }
    return std::nullopt;
}

bool OpenDeviceOutput(const GangOptions& options, DeviceOutput& output) {
    output.mode = options.json ? OutputMode::Json : OutputMode::Silent;
    output.baud = BaudRateItems()[options.baudIndex];
    output.firmware = options.hexFile.empty() ? "embedded release" : options.hexFile;
    if (options.logFile.empty()) {
        return true;
    }
    std::string error;
    output.log = AttemptLogFile::Open(options.logFile, error);
    if (!output.log) {
        std::fprintf(stderr, "velor-flash: %s\n", error.c_str());
        return false;
    }
    return true;
}

std::unique_ptr<Reporter> EventsBeforeDevices(bool json) {
    if (!json) {
        return nullptr;
    }
    ReporterSettings settings;
    settings.Mode = OutputMode::Json;
    return std::make_unique<Reporter>(settings, stdout, stderr, [] { return 0.0; });
}

int PrepareGang(const GangOptions& options, IHost& host, GangStart& start) {
    start.image = std::make_shared<const FirmwareImage>();
    const int loaded = ExitCodeOfErrors(host, [&] {
        MainWindowModel form;
        start.ports = ChosenPorts(options);
        return LoadFirmware(options.hexFile, form, host, start.image) ? kExitDone : kExitRefused;
    });
    if (loaded != kExitDone) {
        return loaded;
    }
    if (start.ports.empty()) {
        std::fputs(Tr("velor-flash: the port list is empty\n"), stderr);
        return kExitUsage;
    }
    for (const auto& port : start.ports) {
        start.portWidth = std::max(start.portWidth, port.size());
    }
    return kExitDone;
}

}  // namespace velor::cli
