#include "DeviceLoop.h"

#include <poll.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace devsim {

namespace {

timespec Until(DeviceLoop::Clock::time_point now, DeviceLoop::Clock::time_point due) {
    const auto left = due > now ? due - now : DeviceLoop::Clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

bool IsFlashingCommand(std::string_view code) {
    return code == "04" || code == "05" || code == "06";
}

}  // namespace

DeviceLoop::DeviceLoop(const Options& options, int master, Log& log, BootloaderModel& model)
    : m_options(options),
      m_master(master),
      m_log(log),
      m_model(model),
      m_line(master, options.baud),
      m_faults(options.faults) {}

bool DeviceLoop::Run(int stopSignals, std::string& error) {
    for (;;) {
        const auto now = Clock::now();
        std::string received;
        m_line.Receive(received, now);
        HandleFrames(received, m_line.LastArrival(now));
        if (m_unplugged) {
            return true;
        }
        SendDueReplies(now);
        m_line.Flush(now);
        if (const Waited waited = Wait(now, stopSignals, error); waited != Waited::Going) {
            return waited == Waited::Stopped;
        }
    }
}

void DeviceLoop::Drain() {
    for (char buffer[4096]; !m_unplugged;) {
        const ssize_t n = read(m_master, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        HandleFrames(std::string(buffer, static_cast<std::size_t>(n)), Clock::now());
    }
}

void DeviceLoop::HandleFrames(const std::string& bytes, Clock::time_point arrival) {
    std::vector<std::string> frames;
    m_parser.Feed(bytes, frames);
    for (const auto& frame : frames) {
        if (m_unplugged) {
            return;
        }
        ++m_frameCount;
        const auto fate = m_faults.Next(IsFlashingCommand(FrameCode(frame)));
        if (fate.unplug) {
            m_log.Line("unplug", frame);
            m_unplugged = true;
            return;
        }
        if (fate.lost || m_frameCount <= m_options.dropFirst ||
            (m_options.dropEvery > 0 && m_frameCount % m_options.dropEvery == 0)) {
            m_log.Line("lost", frame);
            continue;
        }
        Answer(frame, fate, arrival);
    }
}

void DeviceLoop::Answer(const std::string& frame, const FrameFate& fate,
                        Clock::time_point arrival) {
    m_log.Line("rx", frame);
    auto result = m_model.Handle(frame);
    if (!result.note.empty()) {
        m_log.Line("refused", result.note);
    }
    if (result.reset) {
        WriteDump(m_options.dump, m_model.Memory());
        if (m_options.leaveAtReset) {
            m_log.Line("unplug", frame);
            m_unplugged = true;
        }
        m_log.Flush();
        if (m_unplugged) {
            return;
        }
    }
    if (!result.reply) {
        return;
    }
    ++m_replyCount;
    if (m_options.garbageEvery > 0 && m_replyCount % m_options.garbageEvery == 0) {
        result.reply->assign(result.reply->size(), '?');
    }
    m_faults.Corrupt(fate, *result.reply);
    m_replies.push_back({AdapterTick(arrival + std::chrono::milliseconds(m_options.replyDelayMs +
                                                                         fate.extraDelayMs)),
                         std::move(*result.reply)});
}

DeviceLoop::Clock::time_point DeviceLoop::AdapterTick(Clock::time_point due) const {
    if (m_options.adapterLatencyMs <= 0 || due <= m_epoch) {
        return due;
    }
    const Clock::duration period = std::chrono::milliseconds(m_options.adapterLatencyMs);
    const auto ticks = (due - m_epoch + period - Clock::duration(1)) / period;
    return m_epoch + ticks * period;
}

void DeviceLoop::SendDueReplies(Clock::time_point now) {
    while (!m_replies.empty() && m_replies.front().due <= now) {
        m_log.Line("tx", m_replies.front().text);
        m_line.Send(m_replies.front().text, m_replies.front().due);
        m_replies.pop_front();
    }
}

DeviceLoop::Waited DeviceLoop::Wait(Clock::time_point now, int stopSignals, std::string& error) {
    auto next = m_line.NextDue();
    if (!m_replies.empty() && (!next || m_replies.front().due < *next)) {
        next = m_replies.front().due;
    }
    pollfd watch[2] = {{stopSignals, POLLIN, 0}, {m_master, 0, 0}};
    if (!m_line.InputHeldBack()) {
        watch[1].events |= POLLIN;
    }
    if (m_line.OutputQueued() && !next) {
        watch[1].events |= POLLOUT;
    }
    timespec timeout;
    timespec* timeoutPtr = nullptr;
    nfds_t count = 2;
    if (!m_hostPresent) {
        // A hung-up master polls ready at once: look again shortly instead of spinning.
        timeout = Until(now, now + std::chrono::milliseconds(2));
        timeoutPtr = &timeout;
        count = 1;
    } else if (next) {
        timeout = Until(now, *next);
        timeoutPtr = &timeout;
    }
    if (ppoll(watch, count, timeoutPtr, nullptr) < 0 && errno != EINTR) {
        error = std::string("poll: ") + std::strerror(errno);
        return Waited::Failed;
    }
    if (!m_hostPresent || (watch[1].revents & POLLHUP)) {
        pollfd probe{m_master, POLLIN, 0};
        const timespec zero{0, 0};
        m_hostPresent = ppoll(&probe, 1, &zero, nullptr) >= 0 && !(probe.revents & POLLHUP);
    }
    return (watch[0].revents & POLLIN) != 0 ? Waited::Stopped : Waited::Going;
}

}  // namespace devsim
