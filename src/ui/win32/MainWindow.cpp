#include "ui/win32/MainWindow.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "app/TimerPrecision.h"
#include "mainform/FormLayout.h"
#include "mainform/KeyboardRules.h"
#include "mainform/RunHandler.h"
#include "mainform/ScreenSnap.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/MainWindowParts.h"
#include "ui/win32/Resources.h"
#include "ui/win32/WideText.h"

namespace velor::win32 {

namespace {

using namespace mainwindow;

constexpr const wchar_t* kClassName = L"TMainForm";
constexpr UINT kFormActivateMessage = WM_APP + 10;
constexpr UINT kFormResizeMessage = WM_APP + 11;
constexpr UINT kAddHintsMessage = WM_APP + 12;

UINT DpiOf(HWND window) {
    const UINT dpi = GetDpiForWindow(window);
    return dpi != 0 ? dpi : 96;
}

}  // namespace

TMainForm::TMainForm(MainWindowModel& model, IHost& host, IShell& shell, TMessagePump& pump,
                     IMainThreadDispatcher& dispatcher)
    : m_model(model), m_host(host), m_pump(pump), m_controller(model, host, shell) {
    // The port's event thread delivers through the dispatcher's hidden window.
    m_controller.Port().SetDispatcher(dispatcher);
    m_controller.Port().SetSyncMethod(TSyncMethod::smWindowSync);

    const HINSTANCE instance = GetModuleHandleW(nullptr);
    m_bigIcon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(VELOR_RES_ICON), IMAGE_ICON, 32, 32, 0)));
    m_smallIcon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(VELOR_RES_ICON), IMAGE_ICON, 16, 16, 0)));
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &TMainForm::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    windowClass.hIcon = m_bigIcon.get();
    windowClass.hIconSm = m_smallIcon.get();
    RegisterClassExW(&windowClass);

    m_window.reset(CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, Wide(m_model.Caption).c_str(),
                                   kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr,
                                   nullptr, instance, this));
    m_dpi = DpiOf(m_window.get());
    SendMessageW(m_window.get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.get()));
    SendMessageW(m_window.get(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(m_smallIcon.get()));
    CreateFonts();
    BuildControls();
    SizeWindow();
    PostMessageW(m_window.get(), kAddHintsMessage, 0, 0);
    pump.Add(*this);
    Render();
}

TMainForm::~TMainForm() {
    m_pump.Remove(*this);
}

void TMainForm::Create() {
    Run([this] { m_controller.FormCreate(); });
    m_created = true;
}

void TMainForm::ShowCentred() {
    RECT frame;
    GetWindowRect(m_window.get(), &frame);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_window.get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(m_window.get(), nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(m_window.get(), SW_SHOW);
    UpdateWindow(m_window.get());
    SyncFocus();
}

bool TMainForm::Shown() const {
    return m_created && IsWindowVisible(m_window.get());
}

void TMainForm::RepaintNow() {
    RedrawWindow(m_window.get(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TMainForm::Run(const std::function<void()>& handler) {
    ++m_runDepth;
    RunHandler(m_host, handler);
    --m_runDepth;
    if (m_runDepth == 0 && m_closePending) {
        m_closePending = false;
        DestroyWindow(m_window.get());
        return;
    }
    Render();
    FollowPortsWhenIdle();
}

void TMainForm::FollowPortsWhenIdle() {
    if (!m_portsChanged || m_runDepth > 0 || !m_controller.CloseQuery()) {
        return;
    }
    m_portsChanged = false;
    if (m_controller.FollowPortList()) {
        Render();
    }
}

void TMainForm::RunDeviceOperation(const std::function<void()>& handler) {
    const TimerPrecision timers;
    Run(handler);
}

std::optional<std::string> TMainForm::ChooseHexFile() {
    std::wstring filter = Wide(kOpenHexFilterName);
    filter += L'\0';
    filter += Wide(kOpenHexFilterPattern);
    filter += L'\0';
    std::wstring file = Wide(m_model.OpenDialogFileName);
    file.resize(std::max<size_t>(file.size() + 1, 32768), L'\0');
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_window.get();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY;  // the named file need not exist
    auto* open = m_comdlg32.Find<decltype(GetOpenFileNameW)>("GetOpenFileNameW");
    if (open == nullptr || !open(&dialog)) {
        return std::nullopt;
    }
    return Utf8(file.c_str());
}

void TMainForm::OnCommand(int id, int code) {
    switch (id) {
        case kIdLabel1:
            if (code == STN_CLICKED) {
                Run([this] { m_controller.Label1Click(); });
            }
            break;
        case kIdCbPort:
            if (code == CBN_SELCHANGE) {
                m_model.cbPort.ItemIndex =
                    static_cast<int>(SendMessageW(Item(kIdCbPort), CB_GETCURSEL, 0, 0));
                Run([this] { m_controller.cbPortChange(); });
            }
            break;
        case kIdCbBaudRate:
            if (code == CBN_SELCHANGE) {
                m_model.cbBaudRate.ItemIndex =
                    static_cast<int>(SendMessageW(Item(kIdCbBaudRate), CB_GETCURSEL, 0, 0));
                Run([this] { m_controller.cbBaudRateChange(); });
            }
            break;
        case kIdButtonWrite:
            if (code == BN_CLICKED) {
                RunDeviceOperation([this] { m_controller.ButtonWriteClick(); });
            }
            break;
        case kIdButtonConect:
            if (code == BN_CLICKED) {
                RunDeviceOperation([this] { m_controller.ButtonConectClick(); });
            }
            break;
        case kIdButtonOpenHex:
            if (code == BN_CLICKED) {
                Run([this] { m_controller.ButtonOpenHexClick(ChooseHexFile()); });
            }
            break;
        case kIdSButton2:
            if (code == BN_CLICKED) {
                Run([this] { m_controller.sButton2Click(); });
            }
            break;
        case kIdSButton3:
            if (code == BN_CLICKED) {
                Run([this] { m_controller.sButton3Click(); });
            }
            break;
        default:
            break;
    }
}

LRESULT CALLBACK TMainForm::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TMainForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->m_window.get() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT TMainForm::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = m_window.get();
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID == kIdProgressbarReadWrite) {
                DrawGauge(*item);
                return TRUE;
            }
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window, &paint);
            PaintPanels(dc);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_SETCURSOR: {
            const auto id = GetDlgCtrlID(reinterpret_cast<HWND>(wParam));
            const bool hand = id == kIdLabel1 || id == kIdCbPort || id == kIdCbBaudRate ||
                              id == kIdButtonWrite || id == kIdButtonConect ||
                              id == kIdButtonOpenHex || id == kIdSButton2 || id == kIdSButton3;
            if (hand && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
                return TRUE;
            }
            break;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                m_focusBeforeDeactivation =
                    focus != nullptr && IsChild(window, focus) ? focus : nullptr;
            } else {
                SetFocus(m_focusBeforeDeactivation != nullptr ? m_focusBeforeDeactivation
                                                              : FocusWindowOf(m_model.Focus));
                // After the activation has ended: FormActivate processes pending messages.
                PostMessageW(window, kFormActivateMessage, 0, 0);
            }
            return 0;
        case WM_SIZE:
            PostMessageW(window, kFormResizeMessage, 0, 0);
            break;
        case kFormActivateMessage:
            Run([this] { FormActivate(*this, m_host); });
            return 0;
        case kAddHintsMessage:
            AddHints();
            return 0;
        case kFormResizeMessage:
            Run([this] { FormResize(*this, m_host); });
            return 0;
        case WM_MOVING: {
            auto* frame = reinterpret_cast<RECT*>(lParam);
            MONITORINFO monitor = {};
            monitor.cbSize = sizeof(monitor);
            GetMonitorInfoW(MonitorFromRect(frame, MONITOR_DEFAULTTONEAREST), &monitor);
            const RECT& area = monitor.rcWork;
            const TRect rect{frame->left, frame->top, frame->right - frame->left,
                             frame->bottom - frame->top};
            const TPoint snapped = SnapToWorkArea(
                rect, {area.left, area.top, area.right - area.left, area.bottom - area.top},
                Scale(kSnapBuffer));
            OffsetRect(frame, snapped.X - rect.Left, snapped.Y - rect.Top);
            return TRUE;
        }
        case WM_DPICHANGED: {
            m_dpi = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            CreateFonts();
            SetWritePicture();
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyLayout();
            Render();
            return 0;
        }
        case WM_CLOSE:
            // A handler that only processes pending messages (FormActivate, a file load) ends
            // first, then the window closes.
            switch (m_controller.AnswerClose(m_runDepth > 0, true)) {
                case CloseAnswer::Refuse:
                    return 0;
                case CloseAnswer::Defer:
                    m_closePending = true;
                    return 0;
                case CloseAnswer::Close:
                    break;
            }
            DestroyWindow(window);
            return 0;
        case WM_DEVICECHANGE:
            // DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE, DBT_DEVNODES_CHANGED: an adapter came
            // or went.
            if (wParam == 0x8000 || wParam == 0x8004 || wParam == 0x0007) {
                m_portsChanged = true;
                FollowPortsWhenIdle();
            }
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool TMainForm::PreviewKey(const MSG& message) {
    const auto key = static_cast<uint16_t>(message.wParam);
    const TShiftState shift{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                            GetKeyState(VK_MENU) < 0};
    // Ctrl+L resets the device.
    RunDeviceOperation([this, key, shift] { m_controller.FormKeyDown(key, shift); });
    if (key == VK_TAB && !shift.Ctrl && !shift.Alt) {
        MoveFocus(!shift.Shift);
        return true;
    }
    const HWND focus = GetFocus();
    const int id = focus != nullptr ? GetDlgCtrlID(focus) : 0;
    const bool button = id == kIdButtonWrite || id == kIdButtonConect || id == kIdButtonOpenHex ||
                        id == kIdSButton2 || id == kIdSButton3;
    if (PressesFocusedButton(key) && button && IsWindowEnabled(focus)) {
        PostMessageW(focus, BM_CLICK, 0, 0);  // the click may run a long operation
        return true;
    }
    return false;
}

}  // namespace velor::win32
