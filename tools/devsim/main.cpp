// velor-devsim: a simulated KALMIRA-5K-2 bootloader on a pseudo-terminal.

#include <sys/prctl.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "BootloaderModel.h"
#include "DeviceLoop.h"
#include "Options.h"
#include "PtyEndpoint.h"
#include "ReplayLoop.h"
#include "ReplayScript.h"
#include "SimIo.h"

namespace {

using namespace devsim;

int Fail(const std::string& why) {
    std::fprintf(stderr, "velor-devsim: %s\n", why.c_str());
    return 1;
}

int Serve(const Options& options) {
    std::string error;
    ReplayScript script;
    if (!options.replay.empty() &&
        !LoadReplayScript(options.replay, options.model.geometry, script, error)) {
        return Fail(options.replay + ":" + error);
    }
    const auto pty = PtyEndpoint::Open(options.link, error);
    if (!pty) {
        return Fail(error);
    }
    Log log(options.log);
    if (log.Failed(options.log)) {
        return Fail("cannot write " + options.log + ": " + log.Error());
    }
    BootloaderModel model(options.model);
    if (!WriteDump(options.dump, model.Memory(), &error)) {
        return Fail("cannot write " + options.dump + ": " + error);
    }
    std::printf("%s\n", pty->SlavePath().c_str());
    std::fflush(stdout);

    const Fd stopSignals = StopSignalsAsInput();
    if (stopSignals.get() < 0) {
        return Fail(std::string("signalfd: ") + std::strerror(errno));
    }
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);

    if (!options.replay.empty()) {
        ReplayLoop replay(script, pty->Master(), log);
        if (!replay.Run(stopSignals.get(), error)) {
            return Fail(error);
        }
        std::fprintf(stderr, "velor-devsim: %s\n", replay.Summary().c_str());
        return replay.Divergences() == 0 ? 0 : 1;
    }
    DeviceLoop device(options, pty->Master(), log, model);
    if (!device.Run(stopSignals.get(), error)) {
        return Fail(error);
    }
    device.Drain();  // the line hangs up when the master closes
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
