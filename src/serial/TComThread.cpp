#include "serial/TComThread.h"

#include "serial/TBComPort.h"

namespace velor {
namespace {

// The delivery order: a line error before the characters it may have spoiled.
constexpr TPortEvent kDeliveryOrder[] = {
    TPortEvent::peError, TPortEvent::peRxChar, TPortEvent::peTxEmpty, TPortEvent::peRing,
    TPortEvent::peCTS,   TPortEvent::peDSR,    TPortEvent::peRLSD,    TPortEvent::peRx80Full,
};

}  // namespace

TComThread::TComThread(TBComPort& owner)
    : m_ownerPort(owner), m_stopEvent(owner.Backend().NewEventWait()) {
    owner.Backend().SetCommMask(EventSetToMask(owner.WatchedEvents()));
    m_thread = std::thread(&TComThread::Execute, this);
}

TComThread::~TComThread() {
    RequestStop();
    IMainThreadDispatcher& dispatcher = m_ownerPort.Dispatcher();
    if (dispatcher.IsMainThread()) {
        dispatcher.ServeUntil([this] { return m_ended.load(); });
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void TComThread::RequestStop() {
    if (m_stopEvent) {
        m_stopEvent->RequestStop();
    }
    // The join follows: let the woken thread run now rather than at the scheduler's next turn.
    std::this_thread::yield();
}

void TComThread::Execute() {
    ISerialBackend& backend = m_ownerPort.Backend();
    try {
        while (m_stopEvent) {
            uint32_t word = 0;
            const IEventWait::Result result = m_stopEvent->Wait(word);
            if (result == IEventWait::Result::OccurredFailed) {
                continue;
            }
            if (result != IEventWait::Result::Occurred) {
                break;
            }
            m_occurredEvents = MaskToEventSet(word);
            switch (m_ownerPort.SyncMethod()) {
                case TSyncMethod::smThreadSync:
                    m_ownerPort.Dispatcher().Synchronize([this] { DeliverEvents(); });
                    break;
                case TSyncMethod::smWindowSync:
                    SendEventsToWindow();
                    break;
                case TSyncMethod::smNone:
                    DeliverEvents();
                    break;
            }
        }
        backend.SetCommMask(0);
        backend.PurgeComm(kPurgeTxClear | kPurgeRxClear);
    } catch (...) {
        // A delivery's exception ends the thread at once, unreported; the port stays open.
    }
    m_ended.store(true);
    m_ownerPort.Dispatcher().Wake();
}

void TComThread::DeliverEvents() {
    const TPortEvents events = m_occurredEvents;
    for (TPortEvent event : kDeliveryOrder) {
        if (!events.Contains(event))
            continue;
        switch (event) {
            case TPortEvent::peError:
                m_ownerPort.NotifyError();
                break;
            case TPortEvent::peRxChar:
                m_ownerPort.NotifyRxChar();
                break;
            case TPortEvent::peTxEmpty:
                m_ownerPort.NotifyTxEmpty();
                break;
            case TPortEvent::peRing:
                m_ownerPort.NotifyRing();
                break;
            case TPortEvent::peCTS:
                m_ownerPort.NotifyCTSChange();
                break;
            case TPortEvent::peDSR:
                m_ownerPort.NotifyDSRChange();
                break;
            case TPortEvent::peRLSD:
                m_ownerPort.NotifyRLSDChange();
                break;
            case TPortEvent::peRx80Full:
                m_ownerPort.NotifyRx80Full();
                break;
        }
    }
}

void TComThread::SendEventsToWindow() {
    const TPortEvents events = m_occurredEvents;
    const TNotifyWindow* window = m_ownerPort.NotifyWindow();
    if (window == nullptr) {
        return;
    }
    for (TPortEvent event : kDeliveryOrder) {
        if (events.Contains(event)) {
            m_ownerPort.Dispatcher().SendToWindow(
                *window, TWindowMessage{kPortEventMessage, PortEventCode(event), 0});
        }
    }
}

}  // namespace velor
