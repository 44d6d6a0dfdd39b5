#include "mainform/MainFormController.h"

#include "mainform/PortListFollow.h"

#include "app/Conversions.h"
#include "app/FileNames.h"
#include "app/PortList.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"
#include "mainform/AboutController.h"
#include "serial/ListSerialPorts.h"

namespace velor {

MainFormController::MainFormController(MainWindowModel& model, IHost& host, IShell& shell,
                                       MainFormOptions options)
    : m_model(model),
      m_host(host),
      m_shell(shell),
      m_listPorts(options.ListPorts
                      ? std::move(options.ListPorts)
                      : [](std::vector<std::string>& target) { ListSerialPorts(target); }),
      m_port(model, host, m_image) {
    // Nothing to write until a load has built an image.
    m_model.ButtonWrite.Enabled = false;
    m_model.TextTerminal.SetText(options.FirmwareText ? std::move(*options.FirmwareText)
                                                      : std::string(EmbeddedReleaseText()));
}

void MainFormController::FormCreate() {
    m_model.ApplicationTitle = kMainCaption;
    m_model.Caption = kMainCaption;
    {
        std::vector<std::string> ports;
        m_listPorts(ports);
        FillPortList(m_model.cbPort, std::move(ports), PortChoice::First);
    }
    m_model.cbBaudRate.ItemIndex = kDefaultBaudIndex;
    m_model.MemoAbout.Clear();
    m_model.ProgressbarReadWrite.SetProgress(0);
    if (Load()) {
        m_model.LabelNameOfHex = kStatusReady;
    }
}

void MainFormController::FormKeyDown(uint16_t key, TShiftState shift) {
    if (key == kKeyF1) {
        m_shell.ShowAbout();
    }
    if (key == kKeyE && shift.Ctrl && shift.Shift) {
        m_model.ServiceLayout = true;
    }
    if (key == kKeyDelete && shift.Ctrl) {
        if (m_model.ProgressbarReadWrite.Progress() == 0) {
            return;
        }
        m_port.Session().StopKey();
    }
    if (key == kKeyR && shift.Ctrl) {
        RefreshPorts();
    }
    if (key == kKeyL && shift.Ctrl) {
        m_port.Session().ResetKey();
    }
}

void MainFormController::RefreshPorts() {
    // Listed aside first: a list that cannot be read leaves the old items and selection.
    std::vector<std::string> ports;
    m_listPorts(ports);
    FillPortList(m_model.cbPort, std::move(ports), PortChoice::First);
    m_host.ShowMessage(kPortsRefreshed);
}

void MainFormController::cbPortChange() {
    m_model.Focus = FocusTarget::ButtonConect;
}

void MainFormController::cbBaudRateChange() {
    const int index = m_model.cbBaudRate.ItemIndex;
    if (index < 0 || index >= static_cast<int>(kBaudRateTable.size())) {
        return;  // the list offers no other choice
    }
    m_port.Port().SetBaudRate(static_cast<TBaudRate>(index));
}

void MainFormController::ButtonOpenHexClick(const std::optional<std::string>& chosenPath) {
    if (!chosenPath) {
        return;
    }
    m_model.OpenDialogFileName = *chosenPath;
    m_model.TextTerminal.SetText(ReadTextFile(*chosenPath));
    if (Load()) {
        m_model.LabelNameOfHex = texts::StatusFileOpened(FileNameOf(*chosenPath));
        m_host.ShowMessage(kFileOpenedMessage);
    }
}

bool MainFormController::Load() {
    ++m_runningLoads;
    struct Finished {
        int& loads;
        ~Finished() { --loads; }
    } finished{m_runningLoads};
    return PrepareFirmware(m_model, m_host, m_image);
}

bool MainFormController::FollowPortList() {
    if (!CloseQuery()) {
        return false;  // a running operation keeps the list it started with
    }
    std::vector<std::string> ports;
    try {
        m_listPorts(ports);
    } catch (const EComPort&) {
        return false;
    }
    return FollowPorts(m_model.cbPort, std::move(ports));
}

CloseAnswer MainFormController::AnswerClose(bool handlerRunning, bool canDefer) const {
    if (m_model.Activity != DeviceActivity::Idle) {
        return CloseAnswer::Refuse;
    }
    if (m_runningLoads > 0 || handlerRunning) {
        return canDefer ? CloseAnswer::Defer : CloseAnswer::Refuse;
    }
    return CloseAnswer::Close;
}

void MainFormController::ButtonConectClick() {
    m_port.Session().ButtonConectClick();
}

void MainFormController::ButtonWriteClick() {
    m_port.Session().ButtonWriteClick();
}

void MainFormController::Label1Click() {
    m_shell.OpenDeviceManager();
}

void MainFormController::sButton2Click() {
    m_host.MessageBeep(BeepKind::Asterisk);
    m_shell.OpenWebAddress(kWebAddress);
}

void MainFormController::sButton3Click() {
    m_host.MessageBeep(BeepKind::Asterisk);
    m_shell.ShowAbout();
}

}  // namespace velor
