#pragma once
// The simulated device at work: frames taken off the line, answered by the bootloader model
// after the planned delays and faults, until a stop signal or an unplug.

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "BootloaderModel.h"
#include "FaultPlan.h"
#include "FrameParser.h"
#include "Options.h"
#include "PacedLine.h"
#include "SimIo.h"

namespace devsim {

class DeviceLoop {
  public:
    using Clock = std::chrono::steady_clock;

    DeviceLoop(const Options& options, int master, Log& log, BootloaderModel& model);

    // Serves the line until stopSignals turns readable or the device is unplugged; false, with
    // error set, when polling fails.
    bool Run(int stopSignals, std::string& error);
    // What the host sent before the stop still reaches the device (and the log and dump); a
    // device that vanished hears nothing more.
    void Drain();

  private:
    struct PendingReply {
        Clock::time_point due;
        std::string text;
    };

    void HandleFrames(const std::string& bytes, Clock::time_point arrival);
    void Answer(const std::string& frame, const FrameFate& fate, Clock::time_point arrival);
    void SendDueReplies(Clock::time_point now);
    // The first tick of the adapter's latency timer at or after due.
    Clock::time_point AdapterTick(Clock::time_point due) const;
    enum class Waited { Going, Stopped, Failed };
    // Waits for the line, a reply's time or a stop signal; Failed sets error.
    Waited Wait(Clock::time_point now, int stopSignals, std::string& error);

    const Options& m_options;
    int m_master;
    Log& m_log;
    BootloaderModel& m_model;
    PacedLine m_line;
    FrameParser m_parser;
    FaultPlan m_faults;
    std::deque<PendingReply> m_replies;
    long m_frameCount = 0;
    long m_replyCount = 0;
    bool m_hostPresent = false;
    bool m_unplugged = false;
    Clock::time_point m_epoch = Clock::now();  // the adapter timer's first tick
};

}  // namespace devsim
