// velor-flash check: the firmware load of the window (upper case, check pass, build) on a file or
// on the embedded release, with a report of what the image holds.

#include <cstdio>
#include <memory>
#include <string>

#include "app/Conversions.h"
#include "app/FileNames.h"
#include "app/MainWindowModel.h"
#include "cli/Commands.h"
#include "cli/commands/CheckOptions.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/ImageReport.h"
#include "cli/commands/SystemErrors.h"
#include "cli/output/TerminalHost.h"
#include "cli/text/Translate.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/FirmwareImage.h"
#include "firmware/HexChecks.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"
#include "protocol/Texts.h"

namespace velor::cli {

int RunCheck(const Args& args) {
    CheckOptions options;
    if (const auto usage = ParseOptions(args, options)) {
        return *usage;
    }
    if (options.help || options.version) {
        PrintHelpOrVersion(options.help, CheckHelp());
        return kExitDone;
    }

    MainWindowModel form;
    TerminalHost host(&form);
    std::string source;
    std::shared_ptr<const FirmwareImage> image;
    const int loaded = ExitCodeOfErrors(host, [&] {
        if (options.file) {
            form.TextTerminal.SetText(ReadTextFile(*options.file));
            source = *options.file;
        } else {
            form.TextTerminal.SetText(std::string(EmbeddedReleaseText()));
            source = Tr("embedded release ") + std::string(kEmbeddedReleaseName);
        }
        return PrepareFirmware(form, host, image) ? kExitDone : kExitRefused;
    });
    if (loaded != kExitDone) {
        return loaded;
    }

    form.LabelNameOfHex =
        options.file ? texts::StatusFileOpened(FileNameOf(*options.file)) : texts::kStatusReady;
    std::printf("%s\n", form.LabelNameOfHex.c_str());
    PrintReport(*image, source, CountLines(form.TextTerminal.Text()));

    if (options.imageOut) {
        const auto ranges = image->CoveredRanges();
        const int64_t size =
            options.size ? *options.size : (ranges.empty() ? 0 : ranges.back().Last + 1);
        std::string error;
        if (!WriteImage(*image, *options.imageOut, size, error)) {
            host.ShowError(ErrorBoxText(error));
            return kExitRefused;
        }
        std::printf(Tr("Image: %s, %lld bytes\n"), options.imageOut->c_str(),
                    static_cast<long long>(size));
    }
    std::fflush(stdout);
    return kExitDone;
}

}  // namespace velor::cli
