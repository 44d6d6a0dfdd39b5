// velor-devsim: a simulated KALMIRA-5K-2 bootloader on a pseudo-terminal.

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "BootloaderModel.h"
#include "FaultPlan.h"
#include "FrameParser.h"
#include "Options.h"
#include "PacedLine.h"
#include "SimIo.h"

namespace {

using Clock = std::chrono::steady_clock;

using namespace devsim;

timespec Until(Clock::time_point now, Clock::time_point due) {
    const auto left = due > now ? due - now : Clock::duration::zero();
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

struct PendingReply {
    Clock::time_point due;
    std::string text;
};

int Serve(const devsim::Options& options) {
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        std::fprintf(stderr, "velor-devsim: openpty: %s\n", std::strerror(errno));
        return 1;
    }
    Fd masterFd(master);
    Fd slaveFd(slave);
    const std::string slavePath = ttyname(slave) ? ttyname(slave) : "";
    if (slavePath.empty() || !MakeRaw(slave) ||
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        std::fprintf(stderr, "velor-devsim: cannot set up the terminal: %s\n",
                     std::strerror(errno));
        return 1;
    }
    // The host opens the slave itself; while nobody has it open, the master reports a hang-up.
    slaveFd.reset();

    if (!options.link.empty()) {
        unlink(options.link.c_str());
        if (symlink(slavePath.c_str(), options.link.c_str()) != 0) {
            std::fprintf(stderr, "velor-devsim: cannot link %s: %s\n", options.link.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    struct LinkRemover {
        const std::string& path;
        ~LinkRemover() {
            if (!path.empty())
                unlink(path.c_str());
        }
    } linkRemover{options.link};

    Log log(options.log);
    if (log.Failed(options.log)) {
        std::fprintf(stderr, "velor-devsim: cannot write %s\n", options.log.c_str());
        return 1;
    }
    devsim::BootloaderModel model(options.model);
    if (!WriteDump(options.dump, model.Memory())) {
        std::fprintf(stderr, "velor-devsim: cannot write %s\n", options.dump.c_str());
        return 1;
    }
    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);

    // SIGTERM and SIGINT arrive as input, so that a busy line cannot starve them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    Fd signals(signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC));
    if (signals.get() < 0) {
        std::fprintf(stderr, "velor-devsim: signalfd: %s\n", std::strerror(errno));
        return 1;
    }
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);

    devsim::PacedLine line(master, options.baud);
    devsim::FrameParser parser;
    std::deque<PendingReply> replies;
    std::string received;
    std::vector<std::string> frames;
    long frameCount = 0;
    long replyCount = 0;
    bool hostPresent = false;
    devsim::FaultPlan faults(options.faults);
    bool unplugged = false;

    auto HandleFrames = [&](const std::string& bytes, Clock::time_point arrival) {
        frames.clear();
        parser.Feed(bytes, frames);
        for (const auto& frame : frames) {
            if (unplugged) {
                return;
            }
            ++frameCount;
            const auto code = devsim::FrameCode(frame);
            const auto fate = faults.Next(code == "04" || code == "05" || code == "06");
            if (fate.unplug) {
                log.Line("unplug", frame);
                unplugged = true;
                return;
            }
            if (fate.lost || frameCount <= options.dropFirst ||
                (options.dropEvery > 0 && frameCount % options.dropEvery == 0)) {
                log.Line("lost", frame);
                continue;
            }
            log.Line("rx", frame);
            auto result = model.Handle(frame);
            if (!result.note.empty()) {
                log.Line("refused", result.note);
            }
            if (result.reset) {
                WriteDump(options.dump, model.Memory());
                log.Flush();
            }
            if (!result.reply)
                continue;
            ++replyCount;
            if (options.garbageEvery > 0 && replyCount % options.garbageEvery == 0) {
                result.reply->assign(result.reply->size(), '?');
            }
            faults.Garble(fate, *result.reply);
            replies.push_back(
                {arrival + std::chrono::milliseconds(options.replyDelayMs + fate.extraDelayMs),
                 fate.noise + *result.reply});
        }
    };

    for (bool stop = false; !stop;) {
        auto now = Clock::now();
        received.clear();
        line.Receive(received, now);
        HandleFrames(received, line.LastArrival(now));
        if (unplugged) {
            break;
        }
        while (!replies.empty() && replies.front().due <= now) {
            log.Line("tx", replies.front().text);
            line.Send(replies.front().text, replies.front().due);
            replies.pop_front();
        }
        line.Flush(now);

        auto next = line.NextDue();
        if (!replies.empty() && (!next || replies.front().due < *next)) {
            next = replies.front().due;
        }
        pollfd watch[2] = {{signals.get(), POLLIN, 0}, {master, 0, 0}};
        if (!line.InputHeldBack())
            watch[1].events |= POLLIN;
        if (line.OutputQueued() && !next)
            watch[1].events |= POLLOUT;
        timespec timeout;
        timespec* timeoutPtr = nullptr;
        nfds_t count = 2;
        if (!hostPresent) {
            // A hung-up master polls ready at once: look again shortly instead of spinning.
            timeout = Until(now, now + std::chrono::milliseconds(2));
            timeoutPtr = &timeout;
            count = 1;
        } else if (next) {
            timeout = Until(now, *next);
            timeoutPtr = &timeout;
        }
        const int r = ppoll(watch, count, timeoutPtr, nullptr);
        if (r < 0 && errno != EINTR) {
            std::fprintf(stderr, "velor-devsim: poll: %s\n", std::strerror(errno));
            return 1;
        }
        if (watch[0].revents & POLLIN) {
            stop = true;
        }
        if (!hostPresent || (watch[1].revents & POLLHUP)) {
            pollfd probe{master, POLLIN, 0};
            const timespec zero{0, 0};
            hostPresent = ppoll(&probe, 1, &zero, nullptr) >= 0 && !(probe.revents & POLLHUP);
        }
    }
    // What the host sent before the stop still reaches the device (and the log and dump); a
    // device that vanished hears nothing more, and its line hangs up when the master closes.
    for (char buffer[4096]; !unplugged;) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        HandleFrames(std::string(buffer, static_cast<std::size_t>(n)), Clock::now());
    }
    log.Line("stop", "");
    log.Flush();
    WriteDump(options.dump, model.Memory());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options =
        devsim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "velor-devsim: %s\n%s", error.c_str(), devsim::kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(devsim::kUsage, stdout);
        return 0;
    }
    return Serve(*options);
}
