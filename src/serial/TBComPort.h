#pragma once
// TBComPort: one serial device of the operating system, its line settings, queue sizes and
// timeouts, the string transfers through it, and the line-event notifications while it is open.
// Every failure raises EComPort. All members run on the thread that owns the port.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "serial/ComEvents.h"
#include "serial/ComTimeouts.h"
#include "serial/ComTypes.h"
#include "serial/EComPort.h"
#include "serial/LineSettings.h"
#include "serial/MainThreadDispatcher.h"
#include "serial/SerialBackend.h"
#include "serial/WireTap.h"

namespace velor {

// One transfer: its request block with the completion event, and the kind of transfer last
// started on it. A null pointer stands for no record.
struct TTransferRecord {
    std::unique_ptr<TIoBlock> IoBlock;
    TTransferKind Kind = TTransferKind::tfWrite;
};
using TTransferPtr = std::unique_ptr<TTransferRecord>;

class TBComPort;
class TComThread;
class TMainThreadQueue;

// The notifications; every one is passed the port as Sender.
using TNotifyEvent = std::function<void(TBComPort& sender)>;
using TRxCharEvent = std::function<void(TBComPort& sender, int32_t count)>;
using TComSignalEvent = std::function<void(TBComPort& sender, bool state)>;
using TComErrorEvent = std::function<void(TBComPort& sender, TComErrors errors)>;

class TBComPort {
  public:
    TBComPort();  // the platform backend
    explicit TBComPort(std::unique_ptr<ISerialBackend> backend);
    ~TBComPort();  // ClosePort; an exception from it is dropped
    TBComPort(const TBComPort&) = delete;
    TBComPort& operator=(const TBComPort&) = delete;

    // Opens the device named by Port and applies every setting; open afterwards unless it
    // raises message 1 (no such device), 2 (held or not permitted) or that of the failing
    // settings step, leaving the port closed and every property as it was.
    void OpenPort();
    // Lowers DTR and RTS, aborts transfers, ends the event thread, releases the device; a failure
    // of the lines or the abort raises and leaves the port open, unless the device has left the
    // line: then the port closes all the same, so that the next open reaches a replugged device.
    void ClosePort();
    bool Opened() const { return m_opened; }

    const std::string& Port() const { return m_port; }
    void SetPort(const std::string& name);  // message 14 while open, even for the same name
    TBaudRate BaudRate() const { return m_baudRate; }
    void SetBaudRate(TBaudRate rate);
    TByteSize ByteSize() const { return m_byteSize; }
    void SetByteSize(TByteSize size);
    TParity Parity() const { return m_parity; }
    void SetParity(TParity parity);
    TStopBits StopBits() const { return m_stopBits; }
    void SetStopBits(TStopBits stopBits);
    // Odd positive sizes are stored one lower (2049 -> 2048, 1 -> 0).
    int32_t InBufSize() const { return m_inBufSize; }
    void SetInBufSize(int32_t size);
    int32_t OutBufSize() const { return m_outBufSize; }
    void SetOutBufSize(int32_t size);
    TSyncMethod SyncMethod() const { return m_syncMethod; }
    void SetSyncMethod(TSyncMethod method);  // a different value while open: message 14
    // The port's own timeouts; changing a value through it re-applies the timeouts.
    TComTimeouts& Timeouts() { return m_timeouts; }
    const TComTimeouts& Timeouts() const { return m_timeouts; }
    void SetTimeouts(const TComTimeouts& timeouts);  // copies the values, then applies them

    // Each pushes its group of settings to the open device; nothing while closed.
    void ApplyBufferSizes();      // message 10
    void ApplyLineSettings();     // message 8
    void ApplyTimeoutSettings();  // message 9
    void ApplyAllSettings();      // the three in this order; the first failure stops the rest

    // These act on the open device.
    void SetDtrLine(bool state);  // message 13
    void SetRtsLine(bool state);  // message 13
    int32_t QueuedInputCount();   // message 11; the device's error flags are dropped
    TModemLines ModemLines();     // message 12
    void AbortTransfers();        // message 6

    // Transfers. A record lives for one transfer; the buffer given to a started transfer must
    // stay valid and unchanged until it has been awaited.
    void NewTransfer(TTransferPtr& record);
    static void FreeTransfer(TTransferPtr& record);
    // The byte count moved at once (0 while pending). Messages 5 (no record), 3 or 4.
    int32_t StartWrite(const char* buffer, int32_t count, TTransferPtr& record);
    int32_t StartWriteText(const std::string& text, TTransferPtr& record);
    int32_t StartRead(char* buffer, int32_t count, TTransferPtr& record);
    // Sizes text to count (empty for count <= 0) and reads into it.
    int32_t StartReadText(std::string& text, int32_t count, TTransferPtr& record);
    // Waits without a time limit; the byte count. Message 5, or 4 for a read and 3 otherwise.
    int32_t AwaitTransfer(TTransferPtr& record);
    // Writes the whole text and waits: the count written (fewer when the write time ran out).
    int32_t WriteText(const std::string& text);
    // Reads up to count bytes and waits; text holds exactly what arrived, NUL bytes included.
    int32_t ReadText(std::string& text, int32_t count);

    // Notification slots. Assign them while the port is closed: the event thread reads them
    // without a lock while it is open. Under smNone they run on the event thread.
    TRxCharEvent OnRxChar;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnRing;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComSignalEvent OnRLSDChange;
    TComErrorEvent OnError;
    TNotifyEvent OnRx80Full;

    // The notification steps the event thread runs for each event.
    void NotifyRxChar();  // reads the input count even without a handler; message 11
    void NotifyTxEmpty();
    void NotifyRing();
    void NotifyCTSChange();  // reads the modem lines only for a handler; message 12
    void NotifyDSRChange();
    void NotifyRLSDChange();
    void NotifyError();  // reads and clears the error flags even without a handler; message 11
    void NotifyRx80Full();
    // The hidden window's procedure: a PortEventMessage runs the step of its event code (after
    // releasing a sender on another thread); anything else gets the default result 0.
    intptr_t NotifyWindowProc(const TWindowMessage& message, IMessageReply* reply);

    // Where the event thread hands its deliveries to the main thread, which must outlive the
    // port. By default the port's own queue, served whenever ClosePort waits for the thread; a
    // front end gives its own and serves it from its event loop. Message 14 while open.
    IMainThreadDispatcher& Dispatcher() { return *m_dispatcher; }
    void SetDispatcher(IMainThreadDispatcher& dispatcher);

    TPortEvents WatchedEvents() const { return kAllPortEvents; }
    // Exists while the port is open with smWindowSync.
    const TNotifyWindow* NotifyWindow() const { return m_notifyWindow.get(); }
    // Exists while the port is open; it may have ended after a delivery raised.
    const TComThread* EventThread() const { return m_eventThread.get(); }

    ISerialBackend& Backend() { return *m_backend; }

    // Where the whole-text transfers, the open, the close and the port's errors are told; null
    // for none. The tap outlives the port or is taken away first.
    void SetWireTap(IWireTap* tap) { m_tap.store(tap); }

  private:
    void OpenDevice();
    void TellFailure(const EComPort& error);
    void StoreBufSize(int32_t& field, int32_t size);
    void StartEventMachinery();
    void StopEventMachinery();

    std::unique_ptr<ISerialBackend> m_backend;
    std::atomic<IWireTap*> m_tap{nullptr};  // the event thread reads it too
    std::unique_ptr<TMainThreadQueue> m_ownQueue;
    IMainThreadDispatcher* m_dispatcher = nullptr;
    std::unique_ptr<TNotifyWindow> m_notifyWindow;
    std::unique_ptr<TComThread> m_eventThread;
    bool m_opened = false;
    std::string m_port = "COM2";
    TBaudRate m_baudRate = TBaudRate::br9600;
    TByteSize m_byteSize = TByteSize::bs8;
    TParity m_parity = TParity::paNone;
    TStopBits m_stopBits = TStopBits::sb1;
    int32_t m_inBufSize = 2048;
    int32_t m_outBufSize = 2048;
    TSyncMethod m_syncMethod = TSyncMethod::smThreadSync;
    TComTimeouts m_timeouts{this};
};

}  // namespace velor
