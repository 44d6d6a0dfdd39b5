#pragma once
// The main window MainForm with the Win32 API: standard controls at the form's places and sizes
// (scaled to the monitor's DPI), an owner-drawn percentage gauge, panels drawn on the client
// area. It renders the window model, writes the operator's choices into it, and runs every
// handler of the controller through the one error wrapper.

#include <windows.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "mainform/FormEvents.h"
#include "mainform/MainFormController.h"
#include "ui/win32/Handles.h"
#include "ui/win32/MessagePump.h"
#include "ui/win32/SystemLibrary.h"

namespace velor::win32 {

class TMainForm final : public IKeyPreview, public IFormSurface {
  public:
    // Builds the window and every control, hidden.
    TMainForm(MainWindowModel& model, IHost& host, IShell& shell, TMessagePump& pump,
              IMainThreadDispatcher& dispatcher);
    ~TMainForm() override;
    TMainForm(const TMainForm&) = delete;
    TMainForm& operator=(const TMainForm&) = delete;

    // FormCreate while hidden, its error shown in the error box.
    void Create();
    void ShowCentred();
    // Puts the model into the controls. A selection set here runs no handler.
    void Render();

    HWND Window() const override { return m_window.get(); }
    bool PreviewKey(const MSG& message) override;
    bool UsesDialogKeys() const override { return false; }
    bool Shown() const override;
    void RepaintNow() override;

    MainFormController& Controller() { return m_controller; }

  private:
    // A list as last rendered: its items and the selection the model then held.
    struct TShownList {
        std::vector<std::string> Items;
        int ItemIndex = -2;  // none rendered yet
    };
    struct Control {
        int Id;
        HWND Handle;
        RECT Design;  // left, top, width, height at 96 DPI, within the client area
        const char* Hint;
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    void BuildControls();
    HWND AddControl(int id, const wchar_t* className, DWORD style, RECT design,
                    const std::string& text, const char* hint = nullptr);
    void CreateFonts();
    void SetWritePicture();
    // Where a control stands (left, top, width, height) at the window's DPI.
    RECT PlacementOf(int id, const RECT& design) const;
    HFONT FontOf(int id) const;
    void AddHints();
    void ApplyLayout();
    void SizeWindow();
    void ApplyServiceLayout();
    int Scale(int value) const { return MulDiv(value, static_cast<int>(m_dpi), 96); }
    SIZE OuterSize(int clientWidth, int clientHeight) const;
    void Run(const std::function<void()>& handler);
    // With 1 ms timers: the calibrated waits of an exchange would otherwise round up to the
    // system's 15.6 ms tick.
    void RunDeviceOperation(const std::function<void()>& handler);
    // The port list follows plugging (WM_DEVICECHANGE); a change heard while an operation runs
    // waits for its end.
    void FollowPortsWhenIdle();
    std::optional<std::string> ChooseHexFile();
    void PaintPanels(HDC dc);
    void DrawGauge(const DRAWITEMSTRUCT& item);
    void SizeLabelToText(int id, int minWidth);
    void SyncStatusLabel(int id, std::string& shown, const std::string& text);
    void SyncList(int id, TShownList& shown, TListState& state);
    void SyncFocus();
    HWND Item(int id) const { return GetDlgItem(m_window.get(), id); }
    HWND FocusWindowOf(FocusTarget target) const;
    std::optional<FocusTarget> TargetOf(HWND window) const;
    bool TakesFocus(FocusTarget target) const;
    void MoveFocus(bool forward);

    MainWindowModel& m_model;
    IHost& m_host;
    TMessagePump& m_pump;
    MainFormController m_controller;
    UniqueWindow m_window;
    HWND m_tooltips = nullptr;  // a child of the window, destroyed with it
    UINT m_dpi = 96;
    UniqueFont m_font;
    UniqueImageList m_writePicture;
    UniqueIcon m_webIcon;
    UniqueIcon m_infoIcon;
    UniqueIcon m_bigIcon;
    UniqueIcon m_smallIcon;
    std::vector<Control> m_controls;
    TSystemLibrary m_comdlg32{L"comdlg32.dll"};  // the open dialog, loaded at its first use

    bool m_created = false;
    bool m_serviceApplied = false;
    int m_runDepth = 0;
    bool m_closePending = false;
    bool m_portsChanged = false;
    HWND m_focusBeforeDeactivation = nullptr;
    std::optional<FocusTarget> m_appliedFocus;
    std::string m_shownCaption;
    std::string m_shownStatus;
    std::string m_shownCalibration;
    std::string m_shownGauge;
    int m_shownGaugeFill = -1;
    int m_shownBarMax = -1;
    int m_shownBarPosition = -1;
    TShownList m_shownPorts;
    TShownList m_shownBauds;
};

}  // namespace velor::win32
