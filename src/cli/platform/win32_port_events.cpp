#include <windows.h>

#include <dbt.h>

#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "cli/platform/PortEvents.h"

namespace velor::cli {

namespace {

// Stable: a test finds the window by it.
constexpr wchar_t kWindowClass[] = L"VelorFlashPortEvents";

// GUID_DEVINTERFACE_COMPORT, spelt here so that no import library is needed for it.
constexpr GUID kComPortInterface = {
    0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};

struct NotificationFree {
    void operator()(HDEVNOTIFY n) const { UnregisterDeviceNotification(n); }
};
using Notification = std::unique_ptr<void, NotificationFree>;

// lParam is not read: the registration already narrows arrivals to COM ports, and a wake too many
// costs one look at the ports.
bool PortsMayHaveChanged(WPARAM event) {
    return event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE ||
           event == DBT_DEVNODES_CHANGED;
}

}  // namespace

// A message-only window on its own thread hears the system's device-change notifications; the
// station's thread waits on a condition the window sets.
struct PortEvents::Watches {
    std::mutex mutex;
    std::condition_variable changed;
    bool pending = false;
    HWND window = nullptr;
    std::thread thread;

    Watches() {
        std::promise<HWND> ready;
        std::future<HWND> made = ready.get_future();
        thread = std::thread([this, &ready] { Run(ready); });
        window = made.get();
    }

    ~Watches() {
        if (window) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        thread.join();
    }

    void Run(std::promise<HWND>& ready) {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW kind{};
        kind.cbSize = sizeof kind;
        kind.lpfnWndProc = &Procedure;
        kind.hInstance = instance;
        kind.lpszClassName = kWindowClass;
        // The class stays registered for the process: a later watch reuses it.
        if (!RegisterClassExW(&kind) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            ready.set_value(nullptr);
            return;
        }
        const HWND made = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, instance, this);
        if (!made) {
            ready.set_value(nullptr);
            return;
        }
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = kComPortInterface;
        // Without it (refused) only a message sent to the window wakes the station: polling
        // remains.
        Notification notification(
            RegisterDeviceNotificationW(made, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
        ready.set_value(made);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        notification.reset();
        DestroyWindow(made);
    }

    void Notify() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            pending = true;
        }
        changed.notify_all();
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Watches*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
            case WM_DEVICECHANGE:
                if (self && PortsMayHaveChanged(w)) {
                    self->Notify();
                }
                return TRUE;
            case WM_CLOSE:
                // The thread destroys the window once its notifications are given back.
                PostQuitMessage(0);
                return 0;
            default:
                return DefWindowProcW(window, message, w, l);
        }
    }
};

PortEvents::PortEvents() : m_watches(std::make_unique<Watches>()) {}

PortEvents::~PortEvents() = default;

void PortEvents::Wait(std::atomic<unsigned>& changes, std::chrono::milliseconds longest) {
    std::unique_lock<std::mutex> lock(m_watches->mutex);
    if (m_watches->changed.wait_for(lock, longest, [this] { return m_watches->pending; })) {
        m_watches->pending = false;
        ++changes;
    }
}

}  // namespace velor::cli
