#pragma once
// The one exception of the port component. Its message is one of the 15 texts below (UTF-8; "\n"
// is a single line feed); it also carries the message's number and the system's error code.

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
    explicit EComPort(TComMessage number, int osError = 0)
        : std::runtime_error(ComMessageText(number)), m_number(number), m_osError(osError) {}
    // A message with more lines after the table's text (the system's reason, a hint).
    EComPort(TComMessage number, int osError, const std::string& moreLines)
        : std::runtime_error(std::string(ComMessageText(number)) + "\n" + moreLines),
          m_number(number),
          m_osError(osError),
          m_moreLines(!moreLines.empty()) {}

    // Which of the 15 messages: what a front end decides on, never the text.
    TComMessage Number() const { return m_number; }
    // errno or GetLastError() of the failed call; 0 when the system gave none.
    int OsError() const { return m_osError; }
    // Whether the message says more than the table's text (a reason or advice of its own).
    bool Explained() const { return m_moreLines; }

  private:
    TComMessage m_number;
    int m_osError;
    bool m_moreLines = false;
};

}  // namespace velor
