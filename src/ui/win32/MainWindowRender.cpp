// Puts the window model into the controls, draws the panels and the gauge, and walks the focus.

#include "ui/win32/MainWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "mainform/FormLayout.h"
#include "mainform/KeyboardRules.h"
#include "ui/win32/ControlIds.h"
#include "ui/win32/MainWindowParts.h"
#include "ui/win32/WideText.h"

namespace velor::win32 {

using mainwindow::kPanels;

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

void TMainForm::SyncStatusLabel(int id, std::string& shown, const std::string& text) {
    if (text == shown) {
        return;
    }
    shown = text;
    const HWND label = Item(id);
    SetWindowTextW(label, Wide(text).c_str());
    SizeLabelToText(id, 0);  // as wide as its text, whatever the DPI and the font
    // The label painted its new text at its old size, and the window clips its children: the
    // label repaints itself at its new size, the window the place an old, wider text held.
    RedrawWindow(label, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    InvalidateRect(m_window.get(), nullptr, TRUE);
}

void TMainForm::SyncList(int id, TShownList& shown, TListState& state) {
    const HWND list = Item(id);
    if (shown.Items != state.Items) {
        SendMessageW(list, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : state.Items) {
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        }
        shown.Items = state.Items;
        shown.ItemIndex = -2;  // the model's choice goes into the new items
    }
    const int selected = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    if (shown.ItemIndex != -2 && selected != shown.ItemIndex &&
        state.ItemIndex == shown.ItemIndex) {
        // The operator chose while the change's notice is still queued: a render never takes
        // the choice back (a write to the port shown before it would reach the wrong device).
        state.ItemIndex = selected;
    } else if (selected != state.ItemIndex) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(state.ItemIndex), 0);
    }
    shown.ItemIndex = state.ItemIndex;
    if ((IsWindowEnabled(list) != FALSE) != state.Enabled) {
        EnableWindow(list, state.Enabled);
    }
}

HWND TMainForm::FocusWindowOf(FocusTarget target) const {
    switch (target) {
        case FocusTarget::MemoAbout:  // the never-seen memo is text in the model, no control
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
    const FocusTarget next = NextFocus(current, m_model.ServiceLayout, forward,
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
    SyncStatusLabel(kIdLabelNameOfHex, m_shownStatus, m_model.LabelNameOfHex);
    SyncStatusLabel(kIdLabel3, m_shownCalibration, m_model.Label3);

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

}  // namespace velor::win32
