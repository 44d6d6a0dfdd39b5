#include "ui/win32/MainWindow.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "mainform/KeyboardRules.h"
#include "mainform/FormLayout.h"
#include "mainform/RunHandler.h"
#include "mainform/ScreenSnap.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/Resources.h"
#include "ui/win32/WideText.h"

namespace velor::win32 {

namespace {

constexpr const wchar_t* kClassName = L"TMainForm";
constexpr UINT kFormActivateMessage = WM_APP + 10;
constexpr UINT kFormResizeMessage = WM_APP + 11;
constexpr UINT kAddHintsMessage = WM_APP + 12;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// The form's panels, drawn on the client area; sPanel3 over the right end of sPanel2.
constexpr RECT kPanels[] = {{7, 8, 314, 73}, {8, 224, 265, 81}, {248, 200, 41, 153}};

// Controls on a panel stand at the panel's corner plus their own place.
constexpr RECT OnPanel(const RECT& panel, int left, int top, int width, int height) {
    return {panel.left + left, panel.top + top, width, height};
}

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

SIZE TMainForm::OuterSize(int clientWidth, int clientHeight) const {
    RECT rect = {0, 0, Scale(clientWidth), Scale(clientHeight)};
    AdjustWindowRectExForDpi(&rect, kWindowStyle, FALSE, WS_EX_CONTROLPARENT, m_dpi);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

void TMainForm::CreateFonts() {
    // "MS Sans Serif" 8 point; the Cyrillic character set lets the font mapper pick a face
    // with Cyrillic letters where the bitmap font has none.
    m_font.reset(CreateFontW(-MulDiv(8, static_cast<int>(m_dpi), 72), 0, 0, 0, FW_NORMAL, FALSE,
                             FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif"));
    m_memoFont.reset(CreateFontW(-Scale(15), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH, L"MS Sans Serif"));
}

HWND TMainForm::AddControl(int id, const wchar_t* className, DWORD style, RECT design,
                           const std::string& text, const char* hint) {
    // Created at its place with its font: no second layout pass at start-up.
    const RECT place = PlacementOf(id, design);
    const HWND control = CreateWindowExW(
        0, className, Wide(text).c_str(), kChild | style, place.left, place.top, place.right,
        place.bottom, m_window.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(id)), FALSE);
    m_controls.push_back({id, control, design, hint});
    return control;
}

void TMainForm::AddHints() {
    // Hints matter only once the pointer rests on a control: made after the window is shown.
    m_tooltips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window.get(),
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(m_tooltips, TTM_SETMAXTIPWIDTH, 0, 400);
    for (const Control& control : m_controls) {
        if (control.Hint == nullptr) {
            continue;
        }
        std::wstring hint = Wide(control.Hint);
        TOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = m_window.get();
        tool.uId = reinterpret_cast<UINT_PTR>(control.Handle);
        tool.lpszText = hint.data();
        SendMessageW(m_tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TMainForm::BuildControls() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // Created in the focus order, which is also the order screen readers read the window in.
    const RECT& panel1 = kPanels[0];
    const RECT& panel2 = kPanels[1];
    const RECT& panel3 = kPanels[2];
    AddControl(kIdLabel1, L"STATIC", SS_NOTIFY | SS_LEFT, OnPanel(panel1, 49, 17, 28, 13),
               "Порт:", "Запустити диспетчер пристроїв");
    AddControl(kIdCbPort, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
               OnPanel(panel1, 30, 37, 73, 21), "", "Ctrl+R оновлення списку портів");
    const HWND write = AddControl(kIdButtonWrite, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP,
                                  OnPanel(panel1, 161, 6, 96, 60), "Прошити");
    AddControl(kIdLabelNameOfHex, L"STATIC", SS_LEFT | SS_NOPREFIX, {10, 87, 86, 13},
               m_model.LabelNameOfHex);
    // The gauge draws its bar; its text, the percentage, is what screen readers read.
    AddControl(kIdProgressbarReadWrite, L"STATIC", SS_OWNERDRAW, {6, 104, 315, 17}, "0%");
    AddControl(kIdLabel3, L"STATIC", SS_LEFT | SS_NOPREFIX, {12, 149, 110, 13}, m_model.Label3);
    AddControl(kIdProgressbarWrite, PROGRESS_CLASSW, PBS_SMOOTH, {8, 167, 265, 9},
               "Блоки сторінки");
    AddControl(kIdButtonConect, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP,
               OnPanel(panel2, 31, 16, 81, 57), "Визначити");
    AddControl(kIdButtonOpenHex, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP,
               OnPanel(panel2, 152, 16, 81, 57), "Відкрити",
               "Повинна бути точна відповідність приладу і мікропрограми для нього");
    // Icon buttons: their text is not drawn but names them for screen readers.
    const HWND web = AddControl(kIdSButton2, WC_BUTTONW, BS_PUSHBUTTON | BS_ICON | WS_TABSTOP,
                                OnPanel(panel3, 8, 12, 25, 57), "Сайт виробника", "Сайт виробника");
    const HWND info = AddControl(kIdSButton3, WC_BUTTONW, BS_PUSHBUTTON | BS_ICON | WS_TABSTOP,
                                 OnPanel(panel3, 8, 84, 25, 57), "Інформація про програму",
                                 "Інформація про програму");
    AddControl(kIdCbBaudRate, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
               {16, 190, 81, 21}, "",
               "Швидкість встановлюється відповідно до документації на прилад");
    // Never seen, and never in the focus order.
    const HWND memo = AddControl(
        kIdMemoAbout, WC_EDITW,
        ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER,
        {392, 16, 305, 681}, "", "Інформація про прилад");
    SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);
    const HWND skinName =
        AddControl(kIdSComboBoxSkinName, WC_COMBOBOXW, CBS_DROPDOWN, {32, 760, 145, 21}, "");
    SetWindowTextW(skinName, L"sComboBoxSkinName");

    // The 24 x 24 picture above the caption of "Прошити".
    const auto bitmap = UniqueBitmap(
        static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(VELOR_RES_WRITE_BITMAP),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    m_writePicture.reset(ImageList_Create(24, 24, ILC_COLOR32, 1, 0));
    ImageList_Add(m_writePicture.get(), bitmap.get(), nullptr);
    BUTTON_IMAGELIST picture = {};
    picture.himl = m_writePicture.get();
    picture.uAlign = BUTTON_IMAGELIST_ALIGN_TOP;
    picture.margin = {0, 4, 0, 0};
    SendMessageW(write, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&picture));

    m_webIcon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(VELOR_RES_WEB_ICON), IMAGE_ICON, 16, 16, 0)));
    m_infoIcon.reset(static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(VELOR_RES_INFO_ICON), IMAGE_ICON, 16, 16, 0)));
    SendMessageW(web, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_webIcon.get()));
    SendMessageW(info, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_infoIcon.get()));

    for (const std::string& item : m_model.cbBaudRate.Items) {
        SendMessageW(Item(kIdCbBaudRate), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    m_shownBauds = m_model.cbBaudRate.Items;
    SendMessageW(Item(kIdCbBaudRate), CB_SETMINVISIBLE, 15, 0);
}

RECT TMainForm::PlacementOf(int id, const RECT& design) const {
    const bool list = id == kIdCbPort || id == kIdCbBaudRate || id == kIdSComboBoxSkinName;
    // A list's height is that of its opened list; the closed box follows the font.
    const int height = list ? design.bottom * 10 : design.bottom;
    return {Scale(design.left), Scale(design.top), Scale(design.right), Scale(height)};
}

HFONT TMainForm::FontOf(int id) const {
    return id == kIdMemoAbout ? m_memoFont.get() : m_font.get();
}

void TMainForm::ApplyLayout() {
    for (const Control& control : m_controls) {
        const RECT place = PlacementOf(control.Id, control.Design);
        SetWindowPos(control.Handle, nullptr, place.left, place.top, place.right, place.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control.Handle, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(control.Id)),
                     FALSE);
    }
    SizeWindow();
}

void TMainForm::SizeWindow() {
    SizeLabelToText(kIdLabel1, 28);
    m_shownStatus.clear();  // the status line sizes itself to its text again
    m_shownCalibration.clear();
    SIZE outer = OuterSize(kClientWidth, kClientHeight);
    if (m_serviceApplied) {
        outer.cy = Scale(kServiceOuterHeight);
    }
    SetWindowPos(m_window.get(), nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
                Run([this] { m_controller.ButtonWriteClick(); });
            }
            break;
        case kIdButtonConect:
            if (code == BN_CLICKED) {
                Run([this] { m_controller.ButtonConectClick(); });
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
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ApplyLayout();
            Render();
            return 0;
        }
        case WM_CLOSE:
            // Refused while a device operation runs; a handler that only processes pending
            // messages (FormActivate, a file load) ends first, then the window closes.
            if (m_model.Activity != DeviceActivity::Idle) {
                return 0;
            }
            if (m_runDepth > 0) {
                m_closePending = true;
                return 0;
            }
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void TMainForm::PaintPanels(HDC dc) {
    for (const RECT& panel : kPanels) {
        RECT rect = {Scale(panel.left), Scale(panel.top), Scale(panel.left + panel.right),
                     Scale(panel.top + panel.bottom)};
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(dc, &rect, BDR_RAISEDINNER, BF_RECT);
    }
}

void TMainForm::DrawGauge(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    RECT bar = item.rcItem;
    DrawEdge(dc, &bar, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(dc, &bar, GetSysColorBrush(COLOR_WINDOW));
    RECT filled = bar;
    filled.right = bar.left + m_shownGaugeFill * (bar.right - bar.left) / 1000;
    FillRect(dc, &filled, GetSysColorBrush(COLOR_HIGHLIGHT));

    const std::wstring text = Wide(m_shownGauge);
    const HGDIOBJ oldFont = SelectObject(dc, m_font.get());
    SetBkMode(dc, TRANSPARENT);
    // The centred percentage in the text colour on the empty part, inverted on the filled one.
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(dc, text.c_str(), -1, &bar, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, saved);
    const int savedFilled = SaveDC(dc);
    IntersectClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawTextW(dc, text.c_str(), -1, &bar, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    RestoreDC(dc, savedFilled);
    SelectObject(dc, oldFont);
}

void TMainForm::SizeLabelToText(int id, int minWidth) {
    // A label sizes itself to its text.
    const HWND label = Item(id);
    const std::wstring text = [label] {
        std::wstring t(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
        t.resize(static_cast<size_t>(GetWindowTextW(label, t.data(), static_cast<int>(t.size()))));
        return t;
    }();
    const HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, m_font.get());
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    SetWindowPos(label, nullptr, 0, 0, std::max(Scale(minWidth), static_cast<int>(extent.cx) + 1),
                 Scale(13), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::SyncStatusLabel(int id, std::string& shown, const std::string& text, int minWidth) {
    if (text == shown) {
        return;
    }
    shown = text;
    SetWindowTextW(Item(id), Wide(text).c_str());
    SizeLabelToText(id, minWidth);
    InvalidateRect(m_window.get(), nullptr, TRUE);
}

void TMainForm::SyncList(int id, std::vector<std::string>& shown, const TListState& state) {
    const HWND list = Item(id);
    if (shown != state.Items) {
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : state.Items) {
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        }
        shown = state.Items;
    }
    if (static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)) != state.ItemIndex) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(state.ItemIndex), 0);
    }
    if ((IsWindowEnabled(list) != FALSE) != state.Enabled) {
        EnableWindow(list, state.Enabled);
    }
}

void TMainForm::SyncMemo() {
    const std::string& text = m_model.MemoAbout.Text();
    if (text == m_shownMemo) {
        return;
    }
    const HWND memo = Item(kIdMemoAbout);
    // The log mostly grows at its end: append what is new instead of replacing it all.
    if (!m_shownMemo.empty() && text.size() > m_shownMemo.size() && text.starts_with(m_shownMemo) &&
        m_shownMemo.back() != '\r') {
        const auto length = static_cast<WPARAM>(GetWindowTextLengthW(memo));
        SendMessageW(memo, EM_SETSEL, length, static_cast<LPARAM>(length));
        SendMessageW(
            memo, EM_REPLACESEL, FALSE,
            reinterpret_cast<LPARAM>(WideWithCrLf(text.substr(m_shownMemo.size())).c_str()));
    } else {
        SetWindowTextW(memo, WideWithCrLf(text).c_str());
    }
    m_shownMemo = text;
}

HWND TMainForm::FocusWindowOf(FocusTarget target) const {
    switch (target) {
        case FocusTarget::MemoAbout:  // the never-seen memo takes no focus
        case FocusTarget::cbPort:
            return Item(kIdCbPort);
        case FocusTarget::ButtonWrite:
            return Item(kIdButtonWrite);
        case FocusTarget::ButtonConect:
            return Item(kIdButtonConect);
        case FocusTarget::ButtonOpenHex:
            return Item(kIdButtonOpenHex);
        case FocusTarget::sButton2:
            return Item(kIdSButton2);
        case FocusTarget::sButton3:
            return Item(kIdSButton3);
        case FocusTarget::cbBaudRate:
            return Item(kIdCbBaudRate);
    }
    return nullptr;
}

std::optional<FocusTarget> TMainForm::TargetOf(HWND window) const {
    for (FocusTarget target :
         {FocusTarget::cbPort, FocusTarget::ButtonWrite, FocusTarget::ButtonConect,
          FocusTarget::ButtonOpenHex, FocusTarget::sButton2, FocusTarget::sButton3,
          FocusTarget::cbBaudRate}) {
        if (window != nullptr && FocusWindowOf(target) == window) {
            return target;
        }
    }
    return std::nullopt;
}

bool TMainForm::TakesFocus(FocusTarget target) const {
    const HWND control = FocusWindowOf(target);
    if (control == nullptr || !IsWindowEnabled(control)) {
        return false;
    }
    // Seen: its top-left corner lies inside the client area (sButton3 shows its upper part).
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, m_window.get(), reinterpret_cast<POINT*>(&rect), 2);
    RECT client;
    GetClientRect(m_window.get(), &client);
    return rect.left >= 0 && rect.top >= 0 && rect.left < client.right && rect.top < client.bottom;
}

void TMainForm::MoveFocus(bool forward) {
    const FocusTarget current = TargetOf(GetFocus()).value_or(FocusTarget::MemoAbout);
    const FocusTarget next =
        NextFocus(current, m_model.ServiceLayout, forward,
                  [this](FocusTarget target) { return TakesFocus(target); });
    if (TakesFocus(next)) {
        m_model.Focus = next;
        m_appliedFocus = next;
        SetFocus(FocusWindowOf(next));
    }
}

void TMainForm::SyncFocus() {
    if (!IsWindowVisible(m_window.get())) {
        return;
    }
    if (m_appliedFocus != m_model.Focus) {
        // A handler moved the focus: follow it (a disabled control cannot take it).
        const HWND target = FocusWindowOf(m_model.Focus);
        m_appliedFocus = m_model.Focus;
        if (target != nullptr && IsWindowEnabled(target) && GetActiveWindow() == m_window.get()) {
            SetFocus(target);
        }
        return;
    }
    // The operator's own moves go into the model, so a render never takes them back.
    if (const auto now = TargetOf(GetFocus())) {
        m_model.Focus = *now;
        m_appliedFocus = *now;
    }
}

void TMainForm::Render() {
    const HWND window = m_window.get();
    if (window == nullptr || !IsWindow(window)) {
        return;
    }
    if (m_shownCaption != m_model.Caption) {
        m_shownCaption = m_model.Caption;
        SetWindowTextW(window, Wide(m_model.Caption).c_str());
    }
    SyncStatusLabel(kIdLabelNameOfHex, m_shownStatus, m_model.LabelNameOfHex, 0);
    SyncStatusLabel(kIdLabel3, m_shownCalibration, m_model.Label3, 110);

    const TsGauge& gauge = m_model.ProgressbarReadWrite;
    const std::string gaugeText = gauge.Text();
    const int64_t range = gauge.MaxValue() - gauge.MinValue();
    const int fill =
        range > 0 ? static_cast<int>((gauge.Progress() - gauge.MinValue()) * 1000 / range) : 0;
    if (gaugeText != m_shownGauge || fill != m_shownGaugeFill) {
        m_shownGauge = gaugeText;
        m_shownGaugeFill = fill;
        SetWindowTextW(Item(kIdProgressbarReadWrite), Wide(gaugeText).c_str());
        InvalidateRect(Item(kIdProgressbarReadWrite), nullptr, FALSE);
    }
    const TProgressBarState& bar = m_model.ProgressbarWrite;
    if (bar.Max != m_shownBarMax || bar.Position != m_shownBarPosition) {
        m_shownBarMax = bar.Max;
        m_shownBarPosition = bar.Position;
        SendMessageW(Item(kIdProgressbarWrite), PBM_SETRANGE32, 0, bar.Max);
        SendMessageW(Item(kIdProgressbarWrite), PBM_SETPOS, static_cast<WPARAM>(bar.Position), 0);
    }
    SyncMemo();

    const std::pair<int, bool> buttons[] = {{kIdButtonWrite, m_model.ButtonWrite.Enabled},
                                            {kIdButtonConect, m_model.ButtonConect.Enabled},
                                            {kIdButtonOpenHex, m_model.ButtonOpenHex.Enabled}};
    for (const auto& [id, enabled] : buttons) {
        if ((IsWindowEnabled(Item(id)) != FALSE) != enabled) {
            EnableWindow(Item(id), enabled);
        }
    }
    SyncList(kIdCbPort, m_shownPorts, m_model.cbPort);
    SyncList(kIdCbBaudRate, m_shownBauds, m_model.cbBaudRate);
    SyncFocus();
    if (m_model.ServiceLayout && !m_serviceApplied) {
        ApplyServiceLayout();
    }
}

void TMainForm::ApplyServiceLayout() {
    // The outer height is what is fixed; the top-left corner stays.
    m_serviceApplied = true;
    RECT frame;
    GetWindowRect(m_window.get(), &frame);
    SetWindowPos(m_window.get(), nullptr, 0, 0, frame.right - frame.left,
                 Scale(kServiceOuterHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TMainForm::PreviewKey(const MSG& message) {
    const auto key = static_cast<uint16_t>(message.wParam);
    const TShiftState shift{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0,
                            GetKeyState(VK_MENU) < 0};
    Run([this, key, shift] { m_controller.FormKeyDown(key, shift); });
    if (key == VK_TAB && !shift.Ctrl && !shift.Alt) {
        MoveFocus(!shift.Shift);
        return true;
    }
    const HWND focus = GetFocus();
    const int id = focus != nullptr ? GetDlgCtrlID(focus) : 0;
    const bool button = id == kIdButtonWrite || id == kIdButtonConect || id == kIdButtonOpenHex ||
                        id == kIdSButton2 || id == kIdSButton3;
    if (key == VK_RETURN && button && IsWindowEnabled(focus)) {
        PostMessageW(focus, BM_CLICK, 0, 0);  // the click may run a long operation
        return true;
    }
    return false;
}

}  // namespace velor::win32
