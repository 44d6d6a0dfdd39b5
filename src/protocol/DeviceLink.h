#pragma once
// The exchanges that identification, flashing and the reset key are built of, with their waits.
// Port errors (EComPort) pass through untouched.

#include <string>
#include <string_view>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Frames.h"
#include "protocol/ProtocolBuffers.h"
#include "protocol/ReplyLatency.h"
#include "protocol/SessionEvents.h"
#include "serial/TBComPort.h"

namespace velor {

// The three flashing commands: which one, their log word in MemoAbout and the reply code they
// wait for.
struct FlashCommand {
    AttemptCommand Command;
    std::string_view LogWord;
    std::string_view ReplyCode;
};
inline constexpr FlashCommand kEraseCommand{AttemptCommand::Erase, "Очистив", kEraseReply};
inline constexpr FlashCommand kWriteCommand{AttemptCommand::Write, "Записав", kWriteReply};
inline constexpr FlashCommand kProgramCommand{AttemptCommand::Program, "Прошив", kProgramReply};

inline constexpr int kWakeUpCount = 5;
inline constexpr int kWakeUpWaitMs = 50;
inline constexpr int kIdentifyTries = 5;
inline constexpr int kIdentifyWaitMs = 100;
inline constexpr int kIdentifyReadCount = 40;
inline constexpr int kDescribeWaitMs = 1000;
inline constexpr int kDescribeReadCount = 1000;
inline constexpr int kDescribeTriesSigned = 3;  // a device that signs is asked again
inline constexpr int kFlashReadCount = 20;
inline constexpr int kResetWaitMs = 100;

class DeviceLink {
  public:
    // info: the identification that decides how flashing replies are accepted.
    DeviceLink(MainWindowModel& form, IHost& host, TBComPort& port, ProtocolBuffers& buffers,
               const DeviceInfo& info)
        : m_form(form), m_host(host), m_port(port), m_buffers(buffers), m_info(info) {}

    void Send(std::string_view text);
    // Sends, sleeps waitMs, reads up to count characters into reply (exactly what arrived).
    void TimedRead(std::string_view frame, int waitMs, std::string& reply, int count);

    // One try of CurrentCommand: event turn, send, log line, wait, read LastReply. True when the
    // reply is accepted: signed and accepted when the device signs its replies, else by its head
    // and last character alone. The read time of a reply accepted without a calibrated wait
    // goes into latency.
    bool FlashAttempt(const FlashCommand& command, int delayMs, ReplyLatency* latency = nullptr);

    // "g0101;", 100 ms, read, "g0101;", read, exclamation beep. Leaves the port open. True when
    // anything came back (the replies are not judged).
    bool ResetDevice();
    // The same at the end of a write, for a device that may leave the line at its reset (its own
    // USB port re-enumerates, or it powers the adapter): a port error once the first frame has
    // gone out ends the reset, and the answer is true. An error before that passes through.
    bool ResetDeviceMayLeave();

  private:
    MainWindowModel& m_form;
    IHost& m_host;
    TBComPort& m_port;
    ProtocolBuffers& m_buffers;
    const DeviceInfo& m_info;
    std::string m_text;  // reused for every frame handed to the port
    std::string m_logLine;
};

}  // namespace velor
