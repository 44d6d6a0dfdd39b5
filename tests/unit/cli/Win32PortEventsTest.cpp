// The station's port events on Windows, driven from outside: the test finds the watch's
// message-only window by its class and sends it what the system would.

#include <windows.h>

#include <dbt.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "cli/platform/PortEvents.h"

namespace velor::cli {
namespace {

using namespace std::chrono_literals;

HWND WatchWindow() {
    return FindWindowExW(HWND_MESSAGE, nullptr, L"VelorFlashPortEvents", nullptr);
}

// Sends `event` from another thread once the station is already waiting; returns how long the
// wait took. A wait that no event ends runs its whole 20 s.
std::chrono::steady_clock::duration WaitWhileSent(PortEvents& events,
                                                  std::atomic<unsigned>& changes, WPARAM event,
                                                  LPARAM data) {
    const HWND window = WatchWindow();
    std::thread sender([&] {
        std::this_thread::sleep_for(100ms);
        SendMessageW(window, WM_DEVICECHANGE, event, data);
    });
    const auto start = std::chrono::steady_clock::now();
    events.Wait(changes, 20s);
    const auto took = std::chrono::steady_clock::now() - start;
    sender.join();
    return took;
}

TEST(Win32PortEvents, ComPortArrivalRemovalAndNodeChangesWakeAPendingWait) {
    PortEvents events;
    ASSERT_NE(WatchWindow(), nullptr);
    std::atomic<unsigned> changes{0};

    DEV_BROADCAST_DEVICEINTERFACE_W port{};
    port.dbcc_size = sizeof port;
    port.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    port.dbcc_classguid = {
        0x86e0d1e0, 0x8089, 0x11d0, {0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73}};
    const LPARAM data = reinterpret_cast<LPARAM>(&port);
    EXPECT_LT(WaitWhileSent(events, changes, DBT_DEVICEARRIVAL, data), 10s);
    EXPECT_EQ(changes.load(), 1u);
    EXPECT_LT(WaitWhileSent(events, changes, DBT_DEVICEREMOVECOMPLETE, data), 10s);
    EXPECT_EQ(changes.load(), 2u);
    EXPECT_LT(WaitWhileSent(events, changes, DBT_DEVNODES_CHANGED, 0), 10s);
    EXPECT_EQ(changes.load(), 3u);
}

TEST(Win32PortEvents, ANotificationBeforeTheWaitIsKeptAndOthersAreNotChanges) {
    PortEvents events;
    std::atomic<unsigned> changes{0};
    // A query to remove a device is no change yet.
    SendMessageW(WatchWindow(), WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, 0);
    events.Wait(changes, 200ms);
    EXPECT_EQ(changes.load(), 0u);

    // Two notifications between waits count as one look at the ports.
    SendMessageW(WatchWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    SendMessageW(WatchWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    const auto start = std::chrono::steady_clock::now();
    events.Wait(changes, 20s);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(changes.load(), 1u);
    events.Wait(changes, 200ms);
    EXPECT_EQ(changes.load(), 1u);
}

TEST(Win32PortEvents, EndingRemovesTheWindowAndALaterWatchMakesItsOwn) {
    {
        PortEvents events;
        ASSERT_NE(WatchWindow(), nullptr);
        // Left unread: the end must not wait for anyone to take it.
        SendMessageW(WatchWindow(), WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    }
    EXPECT_EQ(WatchWindow(), nullptr);

    PortEvents again;
    ASSERT_NE(WatchWindow(), nullptr);
    std::atomic<unsigned> changes{0};
    SendMessageW(WatchWindow(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    again.Wait(changes, 20s);
    EXPECT_EQ(changes.load(), 1u);
}

}  // namespace
}  // namespace velor::cli
