#pragma once
// The one exception of the port component. It carries only its message, one of the 15 texts below
// (UTF-8; "\n" is a single line feed).

#include <stdexcept>
#include <string>

namespace velor {

enum class TComMessage : int {
    NonexistentPort = 1,
    PortBusy = 2,
    WriteFailed = 3,
    ReadFailed = 4,
    NoTransferRecord = 5,
    PurgeFailed = 6,
    TransferStatusFailed = 7,  // raised by no operation
    SetCommStateFailed = 8,
    SetCommTimeoutsFailed = 9,
    SetupCommFailed = 10,
    ClearCommErrorFailed = 11,
    ModemStatusFailed = 12,
    EscapeFunctionFailed = 13,
    PropertyWhileOpen = 14,
    NoPorts = 15,
};

// The text of message 1..15.
const char* ComMessageText(TComMessage number);

class EComPort : public std::runtime_error {
  public:
    explicit EComPort(TComMessage number) : std::runtime_error(ComMessageText(number)) {}
    // A message with more lines after the table's text (the system's reason, a hint).
    EComPort(TComMessage number, const std::string& moreLines)
        : std::runtime_error(std::string(ComMessageText(number)) + "\n" + moreLines) {}
};

}  // namespace velor
