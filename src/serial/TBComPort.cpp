#include "serial/TBComPort.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "serial/MainThreadQueue.h"
#include "serial/TComThread.h"

namespace velor {

void TComTimeouts::Set(int32_t& field, int32_t value) {
    if (field == value) {
        return;
    }
    field = value;
    if (m_owner != nullptr) {
        m_owner->ApplyTimeoutSettings();
    }
}

TBComPort::TBComPort() : TBComPort(MakePlatformBackend()) {}

TBComPort::TBComPort(std::unique_ptr<ISerialBackend> backend)
    : m_backend(std::move(backend)),
      m_ownQueue(std::make_unique<TMainThreadQueue>()),
      m_dispatcher(m_ownQueue.get()) {}

TBComPort::~TBComPort() {
    try {
        ClosePort();
    } catch (...) {
        // A destructor cannot report; the backend still releases the device below.
    }
    StopEventMachinery();
    m_backend->Close();
}

void TBComPort::OpenPort() {
    if (m_opened) {
        return;
    }
    try {
        OpenDevice();
    } catch (const EComPort& e) {
        TellFailure(e);
        throw;
    }
    if (IWireTap* tap = m_tap.load()) {
        tap->PortOpened(*this);
    }
}

void TBComPort::OpenDevice() {
    const TOpenStatus status = m_backend->Open(m_port);
    switch (status.Result) {
        case TOpenResult::NotFound:
            throw EComPort(TComMessage::NonexistentPort, status.OsError);
        case TOpenResult::Busy:
            throw EComPort(TComMessage::PortBusy, status.OsError);
        case TOpenResult::PermissionDenied:
            throw EComPort(TComMessage::PortBusy, status.OsError,
                           status.Reason +
                               "\nКористувач повинен мати дозвіл на роботу з послідовними "
                               "портами (у Debian: група dialout; після додавання до групи "
                               "потрібно вийти з системи і увійти знову).");
        case TOpenResult::Opened:
        case TOpenResult::OtherError:
            // Any other failure surfaces through the first settings step.
            break;
    }
    m_opened = true;
    try {
        ApplyAllSettings();
    } catch (...) {
        m_backend->Close();
        m_opened = false;
        throw;
    }
    StartEventMachinery();
}

void TBComPort::ClosePort() {
    if (!m_opened) {
        return;
    }
    try {
        SetDtrLine(false);
        SetRtsLine(false);
        AbortTransfers();
    } catch (const EComPort&) {
        // The operation that met the hang-up has reported it; a port kept open on a vanished
        // device would refuse every operation until the program restarts.
        if (!m_backend->DeviceGone()) {
            throw;
        }
    }
    StopEventMachinery();
    m_backend->Close();
    m_opened = false;
    if (IWireTap* tap = m_tap.load()) {
        tap->PortClosed();
    }
}

void TBComPort::StartEventMachinery() {
    // The window first, so the thread never addresses a missing one.
    if (m_syncMethod == TSyncMethod::smWindowSync) {
        m_notifyWindow = std::make_unique<TNotifyWindow>(
            [this](const TWindowMessage& message, IMessageReply* reply) {
                return NotifyWindowProc(message, reply);
            });
    }
    m_eventThread = std::make_unique<TComThread>(*this);
}

void TBComPort::StopEventMachinery() {
    // The thread ends before the window and the device go, so a delivery in flight finds both.
    m_eventThread.reset();
    m_notifyWindow.reset();
}

void TBComPort::SetPort(const std::string& name) {
    if (m_opened) {
        throw EComPort(TComMessage::PropertyWhileOpen);
    }
    if (name != m_port) {
        m_port = name;
    }
}

void TBComPort::SetBaudRate(TBaudRate rate) {
    if (rate != m_baudRate) {
        m_baudRate = rate;
        ApplyLineSettings();
    }
}

void TBComPort::SetByteSize(TByteSize size) {
    if (size != m_byteSize) {
        m_byteSize = size;
        ApplyLineSettings();
    }
}

void TBComPort::SetParity(TParity parity) {
    if (parity != m_parity) {
        m_parity = parity;
        ApplyLineSettings();
    }
}

void TBComPort::SetStopBits(TStopBits stopBits) {
    if (stopBits != m_stopBits) {
        m_stopBits = stopBits;
        ApplyLineSettings();
    }
}

void TBComPort::StoreBufSize(int32_t& field, int32_t size) {
    if (size == field) {
        return;
    }
    // The device takes even queue sizes.
    field = (size > 0 && size % 2 != 0) ? size - 1 : size;
    ApplyBufferSizes();
}

void TBComPort::SetInBufSize(int32_t size) {
    StoreBufSize(m_inBufSize, size);
}

void TBComPort::SetOutBufSize(int32_t size) {
    StoreBufSize(m_outBufSize, size);
}

void TBComPort::SetSyncMethod(TSyncMethod method) {
    if (method == m_syncMethod) {
        return;
    }
    if (m_opened) {
        throw EComPort(TComMessage::PropertyWhileOpen);
    }
    m_syncMethod = method;
}

void TBComPort::SetTimeouts(const TComTimeouts& timeouts) {
    timeouts.AssignTo(m_timeouts);
    ApplyTimeoutSettings();
}

void TBComPort::ApplyBufferSizes() {
    if (m_opened && !m_backend->SetupComm(m_inBufSize, m_outBufSize)) {
        throw EComPort(TComMessage::SetupCommFailed);
    }
}

void TBComPort::ApplyLineSettings() {
    if (!m_opened) {
        return;
    }
    const TDcb dcb = BuildLineSettingsBlock(m_baudRate, m_byteSize, m_parity, m_stopBits);
    if (!m_backend->SetCommState(dcb)) {
        throw EComPort(TComMessage::SetCommStateFailed);
    }
}

void TBComPort::ApplyTimeoutSettings() {
    if (!m_opened) {
        return;
    }
    TDeviceTimeouts t;
    t.ReadIntervalTimeout = ToDeviceTimeout(m_timeouts.ReadInterval());
    t.ReadTotalTimeoutMultiplier = ToDeviceTimeout(m_timeouts.ReadTotalMultiplier());
    t.ReadTotalTimeoutConstant = ToDeviceTimeout(m_timeouts.ReadTotalConstant());
    t.WriteTotalTimeoutMultiplier = ToDeviceTimeout(m_timeouts.WriteTotalMultiplier());
    t.WriteTotalTimeoutConstant = ToDeviceTimeout(m_timeouts.WriteTotalConstant());
    if (!m_backend->SetCommTimeouts(t)) {
        throw EComPort(TComMessage::SetCommTimeoutsFailed);
    }
}

void TBComPort::ApplyAllSettings() {
    ApplyBufferSizes();
    ApplyLineSettings();
    ApplyTimeoutSettings();
}

void TBComPort::SetDtrLine(bool state) {
    if (!m_backend->EscapeCommFunction(state ? kSetDtr : kClrDtr)) {
        throw EComPort(TComMessage::EscapeFunctionFailed);
    }
}

void TBComPort::SetRtsLine(bool state) {
    if (!m_backend->EscapeCommFunction(state ? kSetRts : kClrRts)) {
        throw EComPort(TComMessage::EscapeFunctionFailed);
    }
}

int32_t TBComPort::QueuedInputCount() {
    uint32_t errors = 0;
    uint32_t inQueue = 0;
    if (!m_backend->ClearCommError(errors, inQueue)) {
        throw EComPort(TComMessage::ClearCommErrorFailed);
    }
    return static_cast<int32_t>(inQueue);
}

TModemLines TBComPort::ModemLines() {
    uint32_t status = 0;
    if (!m_backend->GetCommModemStatus(status)) {
        throw EComPort(TComMessage::ModemStatusFailed);
    }
    TModemLines lines;
    if (status & kMsCtsOn)
        lines.Include(TModemLine::mlCTS);
    if (status & kMsDsrOn)
        lines.Include(TModemLine::mlDSR);
    if (status & kMsRingOn)
        lines.Include(TModemLine::mlRing);
    if (status & kMsRlsdOn)
        lines.Include(TModemLine::mlRLSD);
    return lines;
}

void TBComPort::AbortTransfers() {
    if (!m_backend->PurgeComm(kPurgeTxAbort | kPurgeRxAbort)) {
        throw EComPort(TComMessage::PurgeFailed);
    }
}

void TBComPort::NewTransfer(TTransferPtr& record) {
    record = std::make_unique<TTransferRecord>();
    record->IoBlock = m_backend->NewIoBlock();
}

void TBComPort::FreeTransfer(TTransferPtr& record) {
    record.reset();
}

int32_t TBComPort::StartWrite(const char* buffer, int32_t count, TTransferPtr& record) {
    if (!record) {
        throw EComPort(TComMessage::NoTransferRecord);
    }
    record->Kind = TTransferKind::tfWrite;
    uint32_t done = 0;
    // A negative count would reach the device as a huge length past the buffer's end.
    if (count < 0 || !record->IoBlock ||
        m_backend->StartWrite(*record->IoBlock, buffer, static_cast<uint32_t>(count), done) ==
            TStartResult::Failed) {
        throw EComPort(TComMessage::WriteFailed);
    }
    return static_cast<int32_t>(done);
}

int32_t TBComPort::StartWriteText(const std::string& text, TTransferPtr& record) {
    if (text.empty()) {
        return 0;
    }
    return StartWrite(text.data(), static_cast<int32_t>(text.size()), record);
}

int32_t TBComPort::StartRead(char* buffer, int32_t count, TTransferPtr& record) {
    if (!record) {
        throw EComPort(TComMessage::NoTransferRecord);
    }
    record->Kind = TTransferKind::tfRead;
    uint32_t done = 0;
    if (count < 0 || !record->IoBlock ||
        m_backend->StartRead(*record->IoBlock, buffer, static_cast<uint32_t>(count), done) ==
            TStartResult::Failed) {
        throw EComPort(TComMessage::ReadFailed);
    }
    return static_cast<int32_t>(done);
}

int32_t TBComPort::StartReadText(std::string& text, int32_t count, TTransferPtr& record) {
    text.assign(count > 0 ? static_cast<std::size_t>(count) : 0, '\0');
    if (count <= 0) {
        return 0;
    }
    return StartRead(text.data(), count, record);
}

int32_t TBComPort::AwaitTransfer(TTransferPtr& record) {
    if (!record) {
        throw EComPort(TComMessage::NoTransferRecord);
    }
    uint32_t done = 0;
    if (record->IoBlock && m_backend->WaitIoBlock(*record->IoBlock) &&
        m_backend->GetIoResult(*record->IoBlock, done)) {
        return static_cast<int32_t>(done);
    }
    throw EComPort(record->Kind == TTransferKind::tfRead ? TComMessage::ReadFailed
                                                         : TComMessage::WriteFailed);
}

int32_t TBComPort::WriteText(const std::string& text) {
    try {
        TTransferPtr record;
        NewTransfer(record);
        StartWriteText(text, record);
        const int32_t result = AwaitTransfer(record);
        FreeTransfer(record);  // the record also goes when a step above raised
        if (IWireTap* tap = m_tap.load()) {
            tap->Sent(text, result);
        }
        return result;
    } catch (const EComPort& e) {
        TellFailure(e);
        throw;
    }
}

int32_t TBComPort::ReadText(std::string& text, int32_t count) {
    const auto started = m_tap.load() != nullptr ? std::chrono::steady_clock::now()
                                                 : std::chrono::steady_clock::time_point{};
    try {
        TTransferPtr record;
        NewTransfer(record);
        StartReadText(text, count, record);
        const int32_t n = AwaitTransfer(record);
        // Never more than the buffer that was handed to the device.
        text.resize(std::min(static_cast<std::size_t>(n), text.size()));
        FreeTransfer(record);
        if (IWireTap* tap = m_tap.load()) {
            tap->Received(text, started);
        }
        return n;
    } catch (const EComPort& e) {
        TellFailure(e);
        throw;
    }
}

void TBComPort::TellFailure(const EComPort& error) {
    if (IWireTap* tap = m_tap.load()) {
        tap->Failed(error);
    }
}

}  // namespace velor
