#pragma once
// The main window's state, free of any toolkit. Operations read and write it; the desktop window
// renders it (at every ProcessEvents, before every box, after every handler); velor-flash prints
// what matters of it.

#include <string>
#include <vector>

#include "serial/BaudRates.h"

#include "app/Memo.h"
#include "skin/TsGauge.h"

namespace velor {

struct TControlState {
    bool Enabled = true;
};

// A drop-down list without typing. Setting ItemIndex from code runs no change handler.
struct TListState {
    std::vector<std::string> Items;
    int ItemIndex = -1;
    bool Enabled = true;

    // The selected item's text, or empty when nothing is selected.
    std::string Text() const {
        return ItemIndex >= 0 && ItemIndex < static_cast<int>(Items.size()) ? Items[ItemIndex]
                                                                            : std::string();
    }
};

// A smooth progress bar: Position held within 0..Max.
struct TProgressBarState {
    int Max = 100;
    int Position = 0;

    void SetMax(int value) {
        Max = value;
        if (Position > Max) {
            Position = Max;
        }
    }
    void SetPosition(int value) { Position = value < 0 ? 0 : (value > Max ? Max : value); }
};

// The controls that can hold the keyboard focus.
enum class FocusTarget {
    MemoAbout,
    cbPort,
    ButtonWrite,
    ButtonConect,
    ButtonOpenHex,
    sButton2,
    sButton3,
    cbBaudRate,
};

// Which device operation runs, if any: device operations never start nested in one another.
enum class DeviceActivity { Idle, Identifying, Writing };

inline constexpr const char* kApplicationTitle = "Velor Bootloader";
inline constexpr const char* kMainCaption = "KALMIRA-5K-2 Bootloader (від 04.10.24)";
inline constexpr const char* kStatusIdentify = "Визначте прилад";
inline constexpr const char* kCalibrationZero = "Автокалібровка: 0.0.0";

struct MainWindowModel {
    // Application title: the caption of every message box. FormCreate replaces it.
    std::string ApplicationTitle = kApplicationTitle;
    std::string Caption = kApplicationTitle;

    std::string LabelNameOfHex = kStatusIdentify;  // the status line
    std::string Label3 = kCalibrationZero;         // the calibrated delays
    TsGauge ProgressbarReadWrite;                  // percentage gauge
    TProgressBarState ProgressbarWrite;            // blocks of the current page

    Memo MemoAbout;     // device description and the log of flashing attempts (UTF-8)
    Memo TextTerminal;  // FirmwareText: the Intel HEX text, 8-bit (ANSI) as loaded

    TControlState ButtonWrite;
    TControlState ButtonConect;
    TControlState ButtonOpenHex;
    TListState cbPort;
    TListState cbBaudRate;

    FocusTarget Focus = FocusTarget::cbPort;  // where the first activation puts it
    bool ServiceLayout = false;               // outer height 340 once the service key was pressed

    // The name (with folder) of the file last chosen in OpenDialog1; empty until one was chosen.
    std::string OpenDialogFileName;

    DeviceActivity Activity = DeviceActivity::Idle;
};

}  // namespace velor
