#pragma once
// One port with its device session, wired once: the main-thread queue the port's event thread
// hands over to, the port with the window's settings, the error report and the session. The
// window, velor-flash (one port, a gang, a station) and the tests all build it this way.
//
// Create it on the thread that will run its operations: the queue serves that thread.

#include <memory>
#include <string>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "firmware/FirmwareImage.h"
#include "protocol/DeviceSession.h"
#include "serial/MainThreadQueue.h"
#include "serial/TBComPort.h"

namespace velor {

class PortSession {
  public:
    // form, host and image outlive the port session. Puts the baud items into form.
    PortSession(MainWindowModel& form, IHost& host, std::shared_ptr<const FirmwareImage>& image);
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    DeviceSession& Session() { return m_session; }
    const DeviceSession& Session() const { return m_session; }
    TBComPort& Port() { return m_port; }
    TMainThreadQueue& Dispatcher() { return m_dispatcher; }
    SessionEventFanOut& Events() { return m_session.Events(); }
    // The port's hand-overs that wait; a front end calls it at every turn of its event loop.
    void ServePending() { m_dispatcher.ServePending(); }

  private:
    TMainThreadQueue m_dispatcher;  // outlives the port: its event thread ends first
    TBComPort m_port;
    DeviceSession m_session;
};

// The window's choice of one port at a rate (an index of BaudRateItems()), as a front end
// without a port list makes it.
void ChoosePort(MainWindowModel& form, const std::string& port, int baudIndex);

}  // namespace velor
