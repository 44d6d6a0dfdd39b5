// The port's events: where the event thread's notices become the handlers' calls on the main
// thread.

#include "serial/MainThreadQueue.h"
#include "serial/TBComPort.h"

namespace velor {

void TBComPort::SetDispatcher(IMainThreadDispatcher& dispatcher) {
    if (m_opened) {
        throw EComPort(TComMessage::PropertyWhileOpen);
    }
    m_dispatcher = &dispatcher;
}

void TBComPort::NotifyRxChar() {
    const int32_t count = QueuedInputCount();
    if (count > 0 && OnRxChar) {
        OnRxChar(*this, count);
    }
}

void TBComPort::NotifyTxEmpty() {
    if (OnTxEmpty)
        OnTxEmpty(*this);
}

void TBComPort::NotifyRing() {
    if (OnRing)
        OnRing(*this);
}

void TBComPort::NotifyRx80Full() {
    if (OnRx80Full)
        OnRx80Full(*this);
}

void TBComPort::NotifyCTSChange() {
    if (OnCTSChange)
        OnCTSChange(*this, ModemLines().Contains(TModemLine::mlCTS));
}

void TBComPort::NotifyDSRChange() {
    if (OnDSRChange)
        OnDSRChange(*this, ModemLines().Contains(TModemLine::mlDSR));
}

void TBComPort::NotifyRLSDChange() {
    if (OnRLSDChange)
        OnRLSDChange(*this, ModemLines().Contains(TModemLine::mlRLSD));
}

void TBComPort::NotifyError() {
    uint32_t flags = 0;
    uint32_t inQueue = 0;
    if (!m_backend->ClearCommError(flags, inQueue)) {
        throw EComPort(TComMessage::ClearCommErrorFailed);
    }
    if (IWireTap* tap = m_tap.load(); flags != 0 && tap != nullptr) {
        tap->LineErrors(flags);
    }
    TComErrors errors;
    if (flags & kCeFrame)
        errors.Include(TComError::ceFrame);
    if ((flags & kCeRxParity) && m_parity != TParity::paNone)
        errors.Include(TComError::ceRxParity);
    if (flags & kCeOverrun)
        errors.Include(TComError::ceOverrun);
    if (flags & kCeRxOver)
        errors.Include(TComError::ceRxOver);
    if (flags & kCeTxFull)
        errors.Include(TComError::ceTxFull);
    if (flags & kCeBreak)
        errors.Include(TComError::ceBreak);
    if (flags & kCeIoe)
        errors.Include(TComError::ceIO);
    if (flags & kCeMode)
        errors.Include(TComError::ceMode);
    if (!errors.Empty() && OnError) {
        OnError(*this, errors);
    }
}

intptr_t TBComPort::NotifyWindowProc(const TWindowMessage& message, IMessageReply* reply) {
    if (message.Msg != kPortEventMessage) {
        return 0;  // the default handling of a hidden window
    }
    if (reply != nullptr) {
        reply->Reply(0);  // the event thread goes on while the notification runs
    }
    if (!m_opened) {
        return 0;
    }
    try {
        switch (message.WParam) {
            case kEvRxChar:
                NotifyRxChar();
                break;
            case kEvTxEmpty:
                NotifyTxEmpty();
                break;
            case kEvCts:
                NotifyCTSChange();
                break;
            case kEvDsr:
                NotifyDSRChange();
                break;
            case kEvRlsd:
                NotifyRLSDChange();
                break;
            case kEvErr:
                NotifyError();
                break;
            case kEvRing:
                NotifyRing();
                break;
            case kEvRx80Full:
                NotifyRx80Full();
                break;
            default:
                break;
        }
    } catch (const std::exception& e) {
        m_dispatcher->ReportError(e.what());
    }
    return 0;
}

}  // namespace velor
