#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainform/MainFormController.h"
#include "serial/EComPort.h"
#include "support/RecordingDoubles.h"

namespace velor::testing {

// A controller over a recording host and shell, with a port list the test sets.
class ControllerTest : public ::testing::Test {
  protected:
    // firmware: the text the window carries; nullopt for the embedded release.
    void MakeController(std::optional<std::string> firmware = std::nullopt) {
        MainFormOptions options;
        options.ListPorts = [this](std::vector<std::string>& target) {
            ++listCalls;
            if (!portsReadable) {
                throw EComPort(TComMessage::NoPorts);
            }
            target = ports;
        };
        options.FirmwareText = std::move(firmware);
        controller = std::make_unique<MainFormController>(model, host, shell, std::move(options));
    }

    MainWindowModel model;
    Log log;
    RecordingHost host{log, model};
    RecordingShell shell{log};
    std::vector<std::string> ports = {"/dev/ttyUSB0", "/dev/ttyUSB1"};
    bool portsReadable = true;
    int listCalls = 0;
    std::unique_ptr<MainFormController> controller;
};

}  // namespace velor::testing
