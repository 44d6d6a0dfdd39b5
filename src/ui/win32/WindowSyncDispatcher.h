#pragma once
// The port event thread's road to the main thread on Windows: a hidden message-only window of
// the main thread. Synchronize and the port's notification window both travel as messages sent
// to it (SendMessage), so they run wherever the main thread takes sent messages: its message
// loop, a message box, or ServeUntil while a port waits for its thread to end.

#include <windows.h>

#include <functional>
#include <string>

#include "serial/MainThreadDispatcher.h"
#include "ui/win32/Handles.h"

namespace velor::win32 {

class TWindowSyncDispatcher final : public IMainThreadDispatcher {
  public:
    explicit TWindowSyncDispatcher(std::function<void(const std::string&)> reportError);
    ~TWindowSyncDispatcher() override;
    TWindowSyncDispatcher(const TWindowSyncDispatcher&) = delete;
    TWindowSyncDispatcher& operator=(const TWindowSyncDispatcher&) = delete;

    void Synchronize(const std::function<void()>& step) override;
    intptr_t SendToWindow(const TNotifyWindow& window, const TWindowMessage& message) override;
    void ServePending() override;
    void ServeUntil(const std::function<bool()>& done) override;
    void Wake() override;
    bool IsMainThread() const override { return GetCurrentThreadId() == m_mainThread; }
    void ReportError(const std::string& message) override;

    HWND Window() const { return m_window.get(); }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const DWORD m_mainThread;
    std::function<void(const std::string&)> m_reportError;
    UniqueHandle m_wake;
    UniqueWindow m_window;
};

}  // namespace velor::win32
