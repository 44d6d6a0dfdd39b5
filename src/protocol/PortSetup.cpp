#include "protocol/PortSetup.h"

#include "serial/BaudRates.h"

namespace velor {

namespace {
// The driver queue sizes the window has always asked for, in and out.
constexpr int32_t kQueueBytes = 2048;
}  // namespace

void ApplyFormSettings(TBComPort& port) {
    port.SetBaudRate(TBaudRate::br9600);
    port.SetByteSize(TByteSize::bs8);
    port.SetParity(TParity::paNone);
    port.SetStopBits(TStopBits::sb1);
    port.SetInBufSize(kQueueBytes);
    port.SetOutBufSize(kQueueBytes);
    port.SetTimeouts(TComTimeouts::Uniform(1));
}

TBaudRate BaudRateForIndex(int itemIndex) {
    if (itemIndex < 0 || itemIndex >= static_cast<int>(kBaudRateTable.size())) {
        return kDefaultBaudRate;
    }
    return static_cast<TBaudRate>(itemIndex);
}

void OpenChosenPort(TBComPort& port, const MainWindowModel& form) {
    port.ClosePort();
    port.SetPort(form.cbPort.Text());
    port.SetBaudRate(BaudRateForIndex(form.cbBaudRate.ItemIndex));
    port.OpenPort();
}

}  // namespace velor
