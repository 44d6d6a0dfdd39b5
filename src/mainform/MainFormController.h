#pragma once
// The main window's handlers, free of any toolkit. The controller owns what the window owns (the
// port BComPort1, the firmware image, the device session) and works on the window's model; the
// window renders the model after every handler and passes the operator's choices in.
//
// Every handler may raise (EComPort, EConvertError, ERangeError, EFOpenError); the window runs
// each one through RunHandler.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "firmware/FirmwareImage.h"
#include "mainform/KeyCodes.h"
#include "mainform/Shell.h"
#include "protocol/PortSession.h"
#include "protocol/Texts.h"
#include "serial/MainThreadQueue.h"
#include "serial/TBComPort.h"

namespace velor {

using texts::kStatusReady;
inline constexpr const char* kPortsRefreshed = "Порти оновлено!";
inline constexpr const char* kFileOpenedMessage =
    "Мікропрограма відкрита,\r\n   запишіть її в прилад";

enum class CloseAnswer { Close, Refuse, Defer };

struct MainFormOptions {
    // Replaces target with the ports present, or raises EComPort. Empty: ListSerialPorts.
    std::function<void(std::vector<std::string>&)> ListPorts;
    // The Intel HEX text the window carries at creation. Empty: the embedded release.
    std::optional<std::string> FirmwareText;
};

class MainFormController {
  public:
    // Puts the window's state at creation into model (baud items, the firmware text).
    MainFormController(MainWindowModel& model, IHost& host, IShell& shell,
                       MainFormOptions options = {});
    MainFormController(const MainFormController&) = delete;
    MainFormController& operator=(const MainFormController&) = delete;

    // Titles, port list, default rate, empty description, gauge at 0, the start-up load.
    void FormCreate();
    void FormKeyDown(uint16_t key, TShiftState shift);
    // Run after the window wrote the operator's choice into the model.
    void cbPortChange();
    void cbBaudRateChange();
    // chosenPath: the file chosen in the open dialog (UTF-8); nullopt when it was cancelled.
    void ButtonOpenHexClick(const std::optional<std::string>& chosenPath);
    void ButtonConectClick();
    void ButtonWriteClick();
    void Label1Click();
    void sButton2Click();
    void sButton3Click();

    // The port list follows the adapters plugged and unplugged, while no load or device
    // operation runs (then nothing changes); true when the list changed. Silent: a list that
    // cannot be read stays as it is.
    bool FollowPortList();

    // What a close request gets. Never while a device operation runs, whose messages would go
    // unseen and whose port would stay held. While a handler only turns the event loop (a load),
    // a window that can close at that handler's end defers (canDefer), another refuses.
    // handlerRunning: the window knows a handler of its own is running. A refused close asks
    // nothing.
    CloseAnswer AnswerClose(bool handlerRunning, bool canDefer) const;
    // Whether the window may close now, for a window that cannot defer.
    bool CloseQuery() const { return AnswerClose(false, false) == CloseAnswer::Close; }

    TBComPort& Port() { return m_port.Port(); }
    // Where the port's event thread hands its notifications to the main thread; the window
    // serves it from its event loop.
    TMainThreadQueue& Dispatcher() { return m_port.Dispatcher(); }
    // The device session's typed events, for whatever listens beside the window.
    SessionEventFanOut& Events() { return m_port.Events(); }
    const std::shared_ptr<const FirmwareImage>& Image() const { return m_image; }

  private:
    void RefreshPorts();
    // PrepareFirmware, counted as a running operation while it works.
    bool Load();

    MainWindowModel& m_model;
    IHost& m_host;
    IShell& m_shell;
    std::function<void(std::vector<std::string>&)> m_listPorts;
    std::shared_ptr<const FirmwareImage> m_image = std::make_shared<FirmwareImage>();
    PortSession m_port;
    int m_runningLoads = 0;  // loads nest: another file may be opened in a load's event turn
};

}  // namespace velor
