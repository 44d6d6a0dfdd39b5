#include "ui/win32/MessagePump.h"

#include <algorithm>

namespace velor::win32 {

void TMessagePump::Remove(IKeyPreview& window) {
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), &window), m_windows.end());
}

bool TMessagePump::PumpPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Route(message);
    }
    return true;
}

int TMessagePump::Run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Route(message);
    }
    return static_cast<int>(message.wParam);
}

void TMessagePump::Route(MSG& message) {
    if (message.hwnd != nullptr) {
        const HWND root = GetAncestor(message.hwnd, GA_ROOT);
        // Copied: a previewed key may open or close windows and so change the list.
        const std::vector<IKeyPreview*> windows = m_windows;
        for (IKeyPreview* window : windows) {
            if (window->Window() != root) {
                continue;
            }
            if ((message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) &&
                window->PreviewKey(message)) {
                return;
            }
            if (window->UsesDialogKeys() && IsDialogMessageW(root, &message)) {
                return;
            }
            break;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

}  // namespace velor::win32
