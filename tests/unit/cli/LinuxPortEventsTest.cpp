#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "cli/platform/PortEvents.h"

namespace velor::cli {
namespace {

using namespace std::chrono_literals;

// Without udev (a container) a link to a terminal in a VELOR_EXTRA_PORTS folder must still end
// the station's pause at once.
TEST(LinuxPortEvents, ALinkAppearingInAnExtraPortsFolderWakesAPendingWait) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("velor-port-events-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ::setenv("VELOR_EXTRA_PORTS", folder.c_str(), 1);
    PortEvents events;
    ::unsetenv("VELOR_EXTRA_PORTS");

    std::atomic<unsigned> changes{0};
    std::thread plug([&] {
        std::this_thread::sleep_for(100ms);
        fs::create_symlink("/dev/null", folder / "device");
    });
    const auto start = std::chrono::steady_clock::now();
    // Other changes in /dev may end a wait too: wait until the link's own has come.
    while (changes.load() == 0 || !fs::is_symlink(folder / "device")) {
        events.Wait(changes, 20s);
        if (std::chrono::steady_clock::now() - start > 20s) {
            break;
        }
    }
    plug.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_GE(changes.load(), 1u);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace velor::cli
