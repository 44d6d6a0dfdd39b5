#include "serial/LineSettings.h"

namespace velor {

TDcb BuildLineSettingsBlock(TBaudRate rate, TByteSize byteSize, TParity parity,
                            TStopBits stopBits) {
    TDcb dcb;
    dcb.DCBlength = sizeof(TDcb);
    dcb.BaudRate = BaudRateValue(rate);
    dcb.Flags = kDcbBinary | (kDtrControlEnable << kDcbDtrControlShift) |
                (kRtsControlEnable << kDcbRtsControlShift);
    if (parity != TParity::paNone) {
        dcb.Flags |= kDcbParity;
    }
    dcb.ByteSize = static_cast<uint8_t>(static_cast<uint8_t>(byteSize) + 5);
    dcb.Parity = static_cast<uint8_t>(parity);
    dcb.StopBits = static_cast<uint8_t>(stopBits);
    dcb.XonChar = 17;   // DC1
    dcb.XoffChar = 19;  // DC3
    return dcb;
}

}  // namespace velor
