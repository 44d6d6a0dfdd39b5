#include "cli/commands/Doctor.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/commands/PortHints.h"
#include "cli/output/LatencyHint.h"
#include "cli/production/SessionHost.h"
#include "cli/text/Translate.h"
#include "protocol/PortSetup.h"
#include "serial/TBComPort.h"

namespace velor::cli {

namespace {

constexpr const char* kWakeUp = "ggggg";
constexpr const char* kIdentify = "g0202;";
constexpr int kWakeUps = 5;
constexpr int kWakeUpGapMs = 50;
constexpr int kReplyWaitMs = 500;
constexpr int kReplyBytes = 40;

// Outside text (USB strings, replies) with control bytes shown as \xNN.
std::string Visible(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

const char* Word(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok:
            return "ok    ";
        case Verdict::Note:
            return "note  ";
        case Verdict::Warn:
            return "warn  ";
        case Verdict::Fail:
            return "FAIL  ";
    }
    return "";
}

}  // namespace

std::string FindingText(const Finding& finding) {
    std::string text = Word(finding.verdict) + Visible(finding.what);
    if (!finding.todo.empty()) {
        text += "\n      -> " + Visible(finding.todo);
    }
    return text;
}

std::vector<Finding> CheckPortList(const std::vector<PortDescription>& ports) {
    if (ports.empty()) {
        return {{Verdict::Fail, Tr("no serial port is present"),
                 Tr("plug the adapter in (another socket, another cable); a USB adapter needs its "
                    "driver (ftdi_sio, ch341, cp210x, pl2303 on Linux; the maker's on Windows)")}};
    }
    std::vector<Finding> findings;
    for (const auto& port : ports) {
        const std::string description = DescriptionText(port);
        Finding f{Verdict::Ok,
                  Tr("port ") + port.Name + ": " +
                      (description.empty() ? Tr("(nothing more is known)") : description),
                  {}};
        if (port.LatencyTimerMs > 1) {
            f.verdict = Verdict::Note;
            f.todo = Tr("the adapter holds replies up to ") + std::to_string(port.LatencyTimerMs) +
                     Tr(" ms; the programs ask its driver for low latency while they write, and "
                        "the write's summary says so if replies are still held");
        }
        findings.push_back(std::move(f));
    }
    return findings;
}

std::vector<Finding> CheckPortHolders(const std::string& port,
                                      const std::vector<PortHolder>& holders) {
    if (holders.empty()) {
        return {{Verdict::Ok, Tr("no other program holds ") + port, {}}};
    }
    std::vector<Finding> findings;
    for (const auto& holder : holders) {
        findings.push_back({Verdict::Fail,
                            port + Tr(" is held by ") + holder.Program + Tr(" (process ") +
                                std::to_string(holder.Pid) + ")",
                            BusyPortHint(port, {holder})});
    }
    return findings;
}

std::vector<Finding> CheckDeviceAnswer(const std::string& port, const DeviceAnswer& answer) {
    if (!answer.opened) {
        return {{Verdict::Fail,
                 port + Tr(" does not open or take the settings: ") + answer.openError,
                 Tr("see the lines above: the port, its permissions and who holds it")}};
    }
    std::vector<Finding> findings = {
        {Verdict::Ok,
         port + Tr(" opens and takes 115200 baud, 8 data bits, no parity, 1 stop bit"),
         {}}};
    if (!answer.identified) {
        findings.push_back(
            {Verdict::Fail,
             answer.reply.empty()
                 ? Tr("no device answered the wake-up and identification") +
                       (answer.openError.empty() ? "" : " (" + answer.openError + ")")
                 : Tr("the device's answer is not an identification: \"") + answer.reply + "\"",
             Tr("check the cable and the device's power; put the device into its bootloader "
                "(power it on with the port connected) and run doctor again")});
        return findings;
    }
    char latency[32] = "?";
    if (answer.replyLatencyMs) {
        std::snprintf(latency, sizeof latency, "%.1f", *answer.replyLatencyMs);
    }
    findings.push_back({Verdict::Ok,
                        Tr("a device answered the identification in ") + std::string(latency) +
                            " ms: \"" + answer.reply + "\"",
                        {}});
    const std::string hint = LatencyHint(answer.replyLatencyMs, port);
    if (!hint.empty()) {
        findings.push_back({Verdict::Warn, Tr("the reply was held on the way"), hint});
    }
    return findings;
}

DeviceAnswer AskDevice(const std::string& port) {
    DeviceAnswer answer;
    TBComPort com;
    try {
        ApplyFormSettings(com);
        com.SetPort(port);
        com.SetBaudRate(TBaudRate::br115200);
        com.OpenPort();
        answer.opened = true;
        for (int i = 0; i < kWakeUps; ++i) {
            com.WriteText(kWakeUp);
            std::this_thread::sleep_for(std::chrono::milliseconds(kWakeUpGapMs));
        }
        std::string discarded;
        com.ReadText(discarded, 1000);  // whatever the wake-up stirred
        com.WriteText(kIdentify);
        const auto sent = std::chrono::steady_clock::now();
        const auto giveUp = sent + std::chrono::milliseconds(kReplyWaitMs);
        std::string part;
        // Only what is queued is read, so that the time is the reply's, not a read window's.
        while (std::chrono::steady_clock::now() < giveUp &&
               answer.reply.size() < static_cast<std::size_t>(kReplyBytes) &&
               (answer.reply.empty() || answer.reply.back() != ';')) {
            const int queued = com.QueuedInputCount();
            if (queued == 0) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            com.ReadText(part,
                         std::min(queued, kReplyBytes - static_cast<int>(answer.reply.size())));
            answer.reply += part;
        }
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - sent;
        answer.identified = answer.reply.rfind("g82", 0) == 0 && answer.reply.back() == ';';
        if (answer.identified) {
            answer.replyLatencyMs = took.count();
        }
        com.ClosePort();
    } catch (const EComPort& e) {
        answer.openError = OneLine(e.what());
    }
    return answer;
}

}  // namespace velor::cli
