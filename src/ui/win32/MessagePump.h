#pragma once
// The one road of every queued message of the program, from the main loop and from the turns
// that long operations hand the window system: key preview first (the window whose message it
// is sees the key before its focused control), then the dialog keys of dialog-like windows,
// then the usual translation and dispatch.

#include <windows.h>

#include <vector>

namespace velor::win32 {

class IKeyPreview {
  public:
    virtual ~IKeyPreview() = default;
    virtual HWND Window() const = 0;
    // A key down in the window or one of its controls. True when the window consumed it (its
    // own focus moves); false lets the focused control have it as usual.
    virtual bool PreviewKey(const MSG& message) = 0;
    // Whether the dialog manager handles Tab, Enter and Escape in this window.
    virtual bool UsesDialogKeys() const = 0;
};

class TMessagePump {
  public:
    void Add(IKeyPreview& window) { m_windows.push_back(&window); }
    void Remove(IKeyPreview& window);

    // Handles every queued message; false once WM_QUIT was seen (it is posted again for the
    // outer loop).
    bool PumpPending();
    // The message loop: until WM_QUIT; returns its exit code.
    int Run();

  private:
    void Route(MSG& message);

    std::vector<IKeyPreview*> m_windows;
};

}  // namespace velor::win32
