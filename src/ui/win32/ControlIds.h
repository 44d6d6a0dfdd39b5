#pragma once
// The window's control identifiers: what GetDlgItem finds, for screen readers' automation ids
// and for the test driver, which keeps its own copy of these numbers as a public contract.

namespace velor::win32 {

enum ControlId : int {
    kIdLabel1 = 101,
    kIdCbPort = 102,
    kIdButtonWrite = 103,
    kIdLabelNameOfHex = 104,
    kIdProgressbarReadWrite = 105,
    kIdLabel3 = 106,
    kIdProgressbarWrite = 107,
    kIdCbBaudRate = 108,
    kIdButtonConect = 110,
    kIdButtonOpenHex = 111,
    kIdSButton2 = 113,
    kIdSButton3 = 114,
    kIdSComboBoxSkinName = 117,

    kIdImageEmblem = 201,
    kIdSWebLabel1 = 202,
    kIdButton1 = 203,
};

}  // namespace velor::win32
