#include "firmware/PrepareFirmware.h"

#include <string>

#include "app/Ansi.h"
#include "app/EventPump.h"
#include "firmware/BuildFirmwareImage.h"
#include "firmware/FirmwareMessages.h"
#include "firmware/HexChecks.h"

namespace velor {

bool PrepareFirmware(MainWindowModel& form, IHost& host,
                     std::shared_ptr<const FirmwareImage>& image) {
    return PrepareFirmware(form, host, image, kEventBudget);
}

bool PrepareFirmware(MainWindowModel& form, IHost& host,
                     std::shared_ptr<const FirmwareImage>& image,
                     std::chrono::milliseconds eventBudget) {
    AnsiUpperCaseInPlace(form.TextTerminal.MutableText());
    // The load reads its own copy: a handler nested in its event turns may replace the text.
    const std::string text = form.TextTerminal.Text();
    const auto lines = SplitLines(text);

    TsGauge& gauge = form.ProgressbarReadWrite;
    EventPump pump(host, eventBudget);
    if (!CheckFirmwareText(lines, gauge, host, pump)) {
        return false;
    }
    auto fresh = std::make_shared<FirmwareImage>();
    if (!BuildFirmwareImage(lines, gauge, host, pump, *fresh)) {
        return false;
    }
    if (!fresh->HasData()) {
        host.MessageBeep(BeepKind::Hand);
        host.ShowMessage(std::string(kNoDataMessage));
        gauge.SetProgress(0);
        return false;
    }
    image = std::move(fresh);

    host.BringToFront();
    gauge.SetProgress(0);
    if (form.Activity != DeviceActivity::Writing) {
        form.ButtonWrite.Enabled = true;
    }
    host.MessageBeep(BeepKind::Asterisk);
    return true;
}

}  // namespace velor
