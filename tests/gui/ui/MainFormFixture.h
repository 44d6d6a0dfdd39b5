#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "GuiTestSupport.h"
#include "serial/EComPort.h"
#include "ui/qt/Main.h"
#include "ui/qt/Unit1.h"
#include "ui/qt/skin/TsSkinManager.h"

namespace velor::guitest {

// The main window and the About window as the program entry builds them, over recording doubles.
class MainFormTest : public ::testing::Test {
  protected:
    void Build(std::optional<std::string> firmware = std::nullopt) {
        App();
        MainFormOptions options;
        if (!systemPorts) {
            options.ListPorts = [this](std::vector<std::string>& target) {
                if (!portsReadable) {
                    throw EComPort(TComMessage::NoPorts);
                }
                target = ports;
            };
        }
        options.FirmwareText = std::move(firmware);
        form = std::make_unique<ui::TMainForm>(model, host, shell, std::move(options));
        form->SkinManager().SetAnimated(false);
        host.SetRenderer([this] { form->Render(); });
        form->Create();
        about = std::make_unique<ui::TFormHelp>(host, shell);
        shell.SetAbout([this] { about->ShowWindow(); });
    }

    void ShowAndActivate() {
        form->ShowCentred();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    template <typename T>
    T* Child(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }

    void TearDown() override {
        about.reset();
        form.reset();
    }

    MainWindowModel model;
    Log log;
    RecordingGuiHost host{log, model};
    RecordingGuiShell shell{log};
    std::vector<std::string> ports = {"/dev/ttyUSB0", "/dev/ttyUSB1"};
    bool portsReadable = true;
    bool systemPorts = false;  // true: the system's own port list instead of `ports`
    std::unique_ptr<ui::TMainForm> form;
    std::unique_ptr<ui::TFormHelp> about;
};

}  // namespace velor::guitest
