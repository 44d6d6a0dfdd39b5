#pragma once
// A device session on a port to velor-devsim, with a host that records what the operator would
// have seen and heard and answers every message box at once.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "DevsimProcess.h"
#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/FirmwareImage.h"
#include "firmware/PrepareFirmware.h"
#include "protocol/DeviceSession.h"
#include "serial/TBComPort.h"
#include "support/RecordingHost.h"

namespace velor::testing {

struct Rig {
    explicit Rig(std::vector<std::string> devsimArgs) : devsim(std::move(devsimArgs)) {
        host.realSleep = true;
        ApplyFormSettings(port);
        form.cbPort.Items = {devsim.Path()};
        form.cbPort.ItemIndex = 0;
        form.cbBaudRate.Items = BaudRateItems();
        form.cbBaudRate.ItemIndex = 12;
    }

    // The embedded release, loaded the way the window loads it at start-up.
    void LoadRelease() {
        form.TextTerminal.SetText(std::string(EmbeddedReleaseText()));
        if (!PrepareFirmware(form, host, image)) {
            throw std::runtime_error("the embedded release did not load");
        }
        host.beeps.clear();
    }

    // The image's bytes 0..count-1, as the device should hold them.
    std::vector<uint8_t> ImageBytes(int64_t count) const {
        const std::string hex = image->Read(0, count);
        std::vector<uint8_t> bytes;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        }
        return bytes;
    }

    int Count(const std::string& kind, const std::string& frame) {
        int n = 0;
        for (const auto& line : devsim.LogLines(kind))
            n += line == frame;
        return n;
    }

    DevsimProcess devsim;
    MainWindowModel form;
    test::RecordingHost host;
    TBComPort port;
    std::shared_ptr<const FirmwareImage> image = std::make_shared<FirmwareImage>();
    DeviceSession session{form, host, port, image};
};

inline const char* kDoneMessage =
    "                                         Мікропрограма успішно завантажена в 12:34:56\r\n"
    "Після запису необхідно провести процедуру встановлення початкових установок (при "
    "наявності)\r\n                  Після запису необхідно провести встановлення конфігурації "
    "(при наявності)";

}  // namespace velor::testing
