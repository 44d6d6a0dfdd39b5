#include "ui/win32/WindowSyncDispatcher.h"

#include <exception>

#include "serial/DescribeException.h"

namespace velor::win32 {

namespace {

constexpr UINT kSynchronizeMessage = WM_APP + 1;
constexpr UINT kNotifyMessage = WM_APP + 2;
constexpr const wchar_t* kClassName = L"VelorPortSyncWindow";

struct SynchronizeCall {
    const std::function<void()>* Step = nullptr;
    std::exception_ptr Error;
};

struct NotifyCall {
    const TNotifyWindow* Window = nullptr;
    const TWindowMessage* Message = nullptr;
};

// Lets the sending thread go on with the result while the procedure continues.
class SentMessageReply final : public IMessageReply {
  public:
    void Reply(intptr_t result) override {
        if (InSendMessage()) {
            ReplyMessage(result);
        }
    }
};

}  // namespace

TWindowSyncDispatcher::TWindowSyncDispatcher(std::function<void(const std::string&)> reportError)
    : m_mainThread(GetCurrentThreadId()),
      m_reportError(std::move(reportError)),
      m_wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &TWindowSyncDispatcher::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);  // a second dispatcher finds the class registered
    m_window.reset(CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, this));
}

TWindowSyncDispatcher::~TWindowSyncDispatcher() = default;

LRESULT CALLBACK TWindowSyncDispatcher::Procedure(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TWindowSyncDispatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == kSynchronizeMessage) {
        auto* call = reinterpret_cast<SynchronizeCall*>(lParam);
        try {
            (*call->Step)();
        } catch (...) {
            call->Error = std::current_exception();  // raised again on the event thread
        }
        return 0;
    }
    if (self != nullptr && message == kNotifyMessage) {
        const auto* call = reinterpret_cast<const NotifyCall*>(lParam);
        SentMessageReply reply;
        try {
            return call->Window->Dispatch(*call->Message, &reply);
        } catch (...) {
            // A notification's exception stays on the main thread, as an error box.
            self->ReportError(DescribeCurrentException());
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TWindowSyncDispatcher::Synchronize(const std::function<void()>& step) {
    if (IsMainThread()) {
        step();
        return;
    }
    SynchronizeCall call;
    call.Step = &step;
    SendMessageW(m_window.get(), kSynchronizeMessage, 0, reinterpret_cast<LPARAM>(&call));
    if (call.Error) {
        std::rethrow_exception(call.Error);
    }
}

intptr_t TWindowSyncDispatcher::SendToWindow(const TNotifyWindow& window,
                                             const TWindowMessage& message) {
    if (IsMainThread()) {
        return window.Dispatch(message, nullptr);
    }
    NotifyCall call{&window, &message};
    return SendMessageW(m_window.get(), kNotifyMessage, 0, reinterpret_cast<LPARAM>(&call));
}

void TWindowSyncDispatcher::ServePending() {
    // Peeking runs the messages other threads have sent to this thread's windows.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void TWindowSyncDispatcher::ServeUntil(const std::function<bool()>& done) {
    HANDLE wake = m_wake.get();
    while (!done()) {
        MsgWaitForMultipleObjectsEx(1, &wake, 50, QS_SENDMESSAGE, 0);
        ServePending();
    }
}

void TWindowSyncDispatcher::Wake() {
    SetEvent(m_wake.get());
}

void TWindowSyncDispatcher::ReportError(const std::string& message) {
    if (m_reportError) {
        m_reportError(message);
    }
}

}  // namespace velor::win32
