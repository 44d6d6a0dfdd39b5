#include "ui/win32/AboutWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "mainform/KeyCodes.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Resources.h"
#include "ui/win32/WideText.h"

namespace velor::win32 {

namespace {

constexpr const wchar_t* kClassName = L"TFormHelp";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr POINT kDesignPosition = {616, 197};
constexpr SIZE kClientSize = {154, 193};
constexpr COLORREF kLinkColour = RGB(0, 64, 128);

}  // namespace

TFormHelp::TFormHelp(IHost& host, TMessagePump& pump)
    : m_pump(pump), m_controller(*this, host, m_shell) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &TFormHelp::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);

    m_window.reset(CreateWindowExW(kExStyle, kClassName, Wide(kAboutCaption).c_str(), kStyle,
                                   kDesignPosition.x, kDesignPosition.y, 100, 100, nullptr, nullptr,
                                   instance, this));
    m_shell.SetOwner([this] { return m_window.get(); });
    const UINT dpi = GetDpiForWindow(m_window.get());
    m_dpi = dpi != 0 ? dpi : 96;

    const HWND emblem = CreateWindowExW(
        0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_BITMAP, 0, 0, 0, 0, m_window.get(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdImageEmblem)), instance, nullptr);
    m_emblem.reset(
        static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(VELOR_RES_EMBLEM_BITMAP),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    SendMessageW(emblem, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_emblem.get()));
    CreateWindowExW(0, L"STATIC", Wide(kAboutAddress).c_str(),
                    WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_CENTER | SS_NOPREFIX, 0, 0, 0, 0,
                    m_window.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSWebLabel1)),
                    instance, nullptr);
    CreateWindowExW(0, WC_BUTTONW, Wide(kAboutButtonCaption).c_str(),
                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, m_window.get(),
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdButton1)), instance, nullptr);
    ApplyLayout();
    m_pump.Add(*this);
}

TFormHelp::~TFormHelp() {
    m_pump.Remove(*this);
}

void TFormHelp::ApplyLayout() {
    const HWND window = m_window.get();
    m_font.reset(CreateFontW(-MulDiv(8, static_cast<int>(m_dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                             FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif"));
    m_linkFont.reset(CreateFontW(-MulDiv(8, static_cast<int>(m_dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                                 TRUE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                                 L"MS Sans Serif"));
    // The emblem is drawn at its own size from the top-left of its box, never stretched.
    SetWindowPos(GetDlgItem(window, kIdImageEmblem), nullptr, Scale(16), Scale(16), Scale(121),
                 Scale(89), SWP_NOZORDER | SWP_NOACTIVATE);
    // The link is centred on its box, widened to what the font needs.
    const HWND link = GetDlgItem(window, kIdSWebLabel1);
    const std::wstring address = Wide(kAboutAddress);
    const HDC dc = GetDC(link);
    const HGDIOBJ old = SelectObject(dc, m_linkFont.get());
    SIZE extent = {};
    GetTextExtentPoint32W(dc, address.c_str(), static_cast<int>(address.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(link, dc);
    const int width = std::max(Scale(91), static_cast<int>(extent.cx) + 2);
    SetWindowPos(link, nullptr, Scale(29 + 91 / 2) - width / 2, Scale(119), width, Scale(13),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(m_linkFont.get()), FALSE);
    SetWindowPos(GetDlgItem(window, kIdButton1), nullptr, Scale(35), Scale(145), Scale(81),
                 Scale(33), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(GetDlgItem(window, kIdButton1), WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()),
                 FALSE);

    RECT outer = {0, 0, Scale(kClientSize.cx), Scale(kClientSize.cy)};
    AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, m_dpi);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormHelp::ShowWindow() {
    const HWND window = m_window.get();
    ::ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(GetDlgItem(window, kIdButton1));
}

void TFormHelp::HideWindow() {
    ::ShowWindow(m_window.get(), SW_HIDE);
}

bool TFormHelp::PreviewKey(const MSG& message) {
    const auto key = static_cast<uint16_t>(message.wParam);
    m_controller.FormKeyDown(key);
    return false;
}

void TFormHelp::SetLinkHover(bool hover) {
    if (hover != m_linkHover) {
        m_linkHover = hover;
        InvalidateRect(GetDlgItem(m_window.get(), kIdSWebLabel1), nullptr, TRUE);
    }
}

LRESULT CALLBACK TFormHelp::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TFormHelp*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->m_window.get() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT TFormHelp::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = m_window.get();
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kIdButton1 && HIWORD(wParam) == BN_CLICKED) {
                m_controller.Button1Click();
            } else if (LOWORD(wParam) == kIdSWebLabel1 && HIWORD(wParam) == STN_CLICKED) {
                m_controller.sWebLabel1Click();
            }
            // Escape (IDCANCEL from the dialog keys) does nothing here.
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window, kIdSWebLabel1)) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, m_linkHover ? GetSysColor(COLOR_WINDOWTEXT) : kLinkColour);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == GetDlgItem(window, kIdSWebLabel1) &&
                LOWORD(lParam) == HTCLIENT) {
                SetLinkHover(true);
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // IDC_HAND
                return TRUE;
            }
            SetLinkHover(false);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                // "ОК" is the one control that takes the focus.
                SetFocus(GetDlgItem(window, kIdButton1));
                return 0;
            }
            break;
        case WM_CLOSE:
            m_controller.FormClose();
            return 0;
        case WM_DPICHANGED: {
            m_dpi = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyLayout();
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace velor::win32
