#pragma once
// The load sequence common to the start-up load and the opening of a file.

#include <chrono>
#include <memory>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "firmware/FirmwareImage.h"

namespace velor {

// The load sequence on form.TextTerminal: upper-case it in place (ANSI), CheckFirmwareText,
// BuildFirmwareImage into a FRESH image; only when the build completed, `image` is replaced and
// the completion steps run (BringToFront, gauge Progress 0, ButtonWrite enabled unless
// form.Activity == DeviceActivity::Writing, asterisk beep). Returns completed.
// EConvertError / ERangeError propagate to the caller; `image` is then unchanged too.
// The load works on its own copy of the text, so a handler that runs nested in its event turns
// may replace form.TextTerminal without pulling the lines from under it.
bool PrepareFirmware(MainWindowModel& form, IHost& host,
                     std::shared_ptr<const FirmwareImage>& image);
// The same, handing the host an event turn whenever `eventBudget` of work has passed.
bool PrepareFirmware(MainWindowModel& form, IHost& host,
                     std::shared_ptr<const FirmwareImage>& image,
                     std::chrono::milliseconds eventBudget);

}  // namespace velor
