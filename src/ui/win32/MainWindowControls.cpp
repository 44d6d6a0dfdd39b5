// The main window's controls: built once, placed and sized for the window's DPI.

#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "mainform/FormLayout.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/MainWindowParts.h"
#include "ui/win32/Resources.h"
#include "ui/win32/WideText.h"

namespace velor::win32 {

namespace {

using namespace mainwindow;

// A 32-bit picture scaled to side x side pixel for pixel, its transparency kept (a stretch by
// the system may drop the alpha channel and leave a black square).
UniqueBitmap ScaledPicture(HBITMAP source, int side) {
    DIBSECTION from = {};
    if (source == nullptr || GetObjectW(source, sizeof(from), &from) != sizeof(from) ||
        from.dsBm.bmBitsPixel != 32 || from.dsBm.bmBits == nullptr) {
        return UniqueBitmap(source == nullptr ? nullptr
                                              : static_cast<HBITMAP>(CopyImage(source, IMAGE_BITMAP,
                                                                               side, side, 0)));
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = side;  // bottom-up, as a bitmap resource is
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueBitmap scaled(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!scaled || bits == nullptr) {
        return scaled;
    }
    const int width = from.dsBm.bmWidth;
    const int height = from.dsBm.bmHeight;
    const auto* in = static_cast<const uint32_t*>(from.dsBm.bmBits);
    auto* out = static_cast<uint32_t*>(bits);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            out[y * side + x] = in[(y * height / side) * width + x * width / side];
        }
    }
    return scaled;
}

// Controls on a panel stand at the panel's corner plus their own place.
constexpr RECT OnPanel(const RECT& panel, int left, int top, int width, int height) {
    return {panel.left + left, panel.top + top, width, height};
}

}  // namespace

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
    AddControl(kIdButtonWrite, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP,
               OnPanel(panel1, 161, 6, 96, 60), "Прошити");
    AddControl(kIdLabelNameOfHex, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, {10, 87, 86, 13},
               m_model.LabelNameOfHex);
    // The gauge draws its bar; its text, the percentage, is what screen readers read.
    AddControl(kIdProgressbarReadWrite, L"STATIC", SS_OWNERDRAW, {6, 104, 315, 17}, "0%");
    AddControl(kIdLabel3, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, {12, 149, 110, 13},
               m_model.Label3);
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
    // MemoAbout is no control: its text, the description and the attempt log, stays in the
    // model. An edit control rendered at every exchange of a write cost more than the exchange.
    const HWND skinName =
        AddControl(kIdSComboBoxSkinName, WC_COMBOBOXW, CBS_DROPDOWN, {32, 760, 145, 21}, "");
    SetWindowTextW(skinName, L"sComboBoxSkinName");

    SetWritePicture();

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
    m_shownBauds.Items = m_model.cbBaudRate.Items;
    SendMessageW(Item(kIdCbBaudRate), CB_SETMINVISIBLE, 15, 0);
}

void TMainForm::SetWritePicture() {
    // The 24 x 24 picture above the caption of "Прошити", scaled with the window's DPI as the
    // button is.
    const int side = Scale(24);
    const auto original = UniqueBitmap(static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(VELOR_RES_WRITE_BITMAP),
                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    const auto bitmap = ScaledPicture(original.get(), side);
    UniqueImageList pictures(ImageList_Create(side, side, ILC_COLOR32, 1, 0));
    ImageList_Add(pictures.get(), bitmap.get(), nullptr);
    BUTTON_IMAGELIST picture = {};
    picture.himl = pictures.get();
    picture.uAlign = BUTTON_IMAGELIST_ALIGN_TOP;
    picture.margin = {0, Scale(4), 0, 0};
    SendMessageW(Item(kIdButtonWrite), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&picture));
    m_writePicture = std::move(pictures);  // the old list goes once the button holds the new
}

RECT TMainForm::PlacementOf(int id, const RECT& design) const {
    const bool list = id == kIdCbPort || id == kIdCbBaudRate || id == kIdSComboBoxSkinName;
    // A list's height is that of its opened list; the closed box follows the font.
    const int height = list ? design.bottom * 10 : design.bottom;
    return {Scale(design.left), Scale(design.top), Scale(design.right), Scale(height)};
}

HFONT TMainForm::FontOf(int) const {
    return m_font.get();
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

}  // namespace velor::win32
