#include "protocol/DeviceLink.h"

#include "protocol/Frames.h"

#include <chrono>

namespace velor {

void DeviceLink::Send(std::string_view text) {
    m_text.assign(text);
    m_port.WriteText(m_text);
}

void DeviceLink::TimedRead(std::string_view frame, int waitMs, std::string& reply, int count) {
    Send(frame);
    if (waitMs > 0) {
        m_host.Sleep(waitMs);
    }
    m_port.ReadText(reply, count);
}

bool DeviceLink::FlashAttempt(const FlashCommand& command, int delayMs, ReplyLatency* latency) {
    m_host.ProcessEvents();
    m_port.WriteText(m_buffers.CurrentCommand);
    m_logLine.assign(command.LogWord);
    m_logLine += m_buffers.CurrentCommand;
    m_form.MemoAbout.EndLine();
    m_form.MemoAbout.AddLine(m_logLine);
    if (delayMs > 0) {
        m_host.Sleep(delayMs);
    }
    m_buffers.LastReply.clear();
    const auto readStart = std::chrono::steady_clock::now();
    m_port.ReadText(m_buffers.LastReply, kFlashReadCount);
    const std::chrono::duration<double, std::milli> read =
        std::chrono::steady_clock::now() - readStart;
    const bool accepted = m_info.SignsReplies
                              ? SignedReplyAccepted(m_buffers.LastReply, command.ReplyCode)
                              : ReplyAccepted(m_buffers.LastReply, command.ReplyCode);
    // After a calibrated wait the reply may have been queued for a while: not a measure.
    if (accepted && latency != nullptr && delayMs == 0) {
        latency->Add(read.count(), m_buffers.LastReply.size(), BaudRateValue(m_port.BaudRate()));
    }
    return accepted;
}

bool DeviceLink::ResetDevice() {
    TimedRead(kResetFrame, kResetWaitMs, m_buffers.LastReply, kFlashReadCount);
    const bool answered = !m_buffers.LastReply.empty();
    TimedRead(kResetFrame, 0, m_buffers.LastReply, kFlashReadCount);
    m_host.MessageBeep(BeepKind::Exclamation);
    return answered || !m_buffers.LastReply.empty();
}

bool DeviceLink::ResetDeviceMayLeave() {
    Send(kResetFrame);
    try {
        m_host.Sleep(kResetWaitMs);
        m_port.ReadText(m_buffers.LastReply, kFlashReadCount);
        TimedRead(kResetFrame, 0, m_buffers.LastReply, kFlashReadCount);
    } catch (const EComPort&) {
        m_host.MessageBeep(BeepKind::Exclamation);
        return true;
    }
    m_host.MessageBeep(BeepKind::Exclamation);
    return false;
}

}  // namespace velor
