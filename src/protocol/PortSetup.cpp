#include "protocol/PortSetup.h"

namespace velor {

void ApplyFormSettings(TBComPort& port) {
    port.SetBaudRate(TBaudRate::br9600);
    port.SetByteSize(TByteSize::bs8);
    port.SetParity(TParity::paNone);
    port.SetStopBits(TStopBits::sb1);
    port.SetInBufSize(2048);
    port.SetOutBufSize(2048);
    port.SetTimeouts(TComTimeouts::Uniform(1));
}

TBaudRate BaudRateForIndex(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(kBaudRateTable.size())) {
        return TBaudRate::br115200;
    }
    return static_cast<TBaudRate>(itemIndex);
}

void OpenChosenPort(TBComPort& port, const MainWindowModel& form) {
    if (port.ClosePort()) {
        port.SetPort(form.cbPort.Text());
        port.SetBaudRate(BaudRateForIndex(form.cbBaudRate.ItemIndex));
    }
    port.OpenPort();
}

}  // namespace velor
