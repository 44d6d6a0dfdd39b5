// libvelor's sessions against velor-devsim: writes, gates, stops from another thread, several
// sessions on several threads, and the calls a session refuses while it runs.
#include <gtest/gtest.h>

#include <velor/velor.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "../protocol/DevsimProcess.h"

namespace velor::testing {
namespace {

// The first 8 pages of 32 blocks of 255 bytes reach the release stamp at F0E0.
const std::vector<std::string> kStampGeometry = {"--geometry", "32:255:8"};

struct Image {
    Image() { EXPECT_EQ(velor_image_embedded(&handle), VELOR_OK); }
    ~Image() { velor_image_free(handle); }
    velor_image* handle = nullptr;
};

struct Session {
    explicit Session(const std::string& port) {
        EXPECT_EQ(velor_session_open(port.c_str(), 0, &handle), VELOR_OK);
    }
    ~Session() { velor_session_free(handle); }
    velor_outcome Outcome() const {
        velor_outcome o{};
        EXPECT_EQ(velor_session_outcome(handle, &o), VELOR_OK);
        return o;
    }
    velor_session* handle = nullptr;
};

// What a callback saw, and what it does when a test asks it to misbehave.
struct Listener {
    std::vector<int> percents;
    std::vector<int> types;
    std::string endText;
    velor_session* session = nullptr;
    const velor_image* image = nullptr;
    int nestedWrite = 1;
    int nestedFree = 1;
    int nestedStop = 1;
    bool throwAtProgress = false;
};

void Record(const velor_event* e, void* user) {
    auto& l = *static_cast<Listener*>(user);
    l.types.push_back(e->type);
    if (e->type == VELOR_EVENT_PROGRESS) {
        l.percents.push_back(e->percent);
        if (l.session != nullptr && l.nestedWrite == 1) {
            l.nestedWrite = velor_session_write(l.session, l.image);
            l.nestedFree = velor_session_free(l.session);
        }
        if (l.throwAtProgress && e->pages_done >= 1) {
            throw std::runtime_error("a callback that throws");
        }
    }
    if (e->type == VELOR_EVENT_ENDED) {
        l.endText = e->text;
    }
}

TEST(LibrarySession, AWriteReportsProgressAndEndsDone) {
    DevsimProcess device(kStampGeometry);
    Image image;
    Session s(device.Path());
    Listener l;
    ASSERT_EQ(velor_session_set_events(s.handle, Record, &l), VELOR_OK);
    ASSERT_EQ(velor_session_write(s.handle, image.handle), VELOR_OK);
    const velor_outcome o = s.Outcome();
    EXPECT_EQ(o.kind, VELOR_OUTCOME_DONE) << velor_session_message(s.handle);
    EXPECT_EQ(o.reason, VELOR_REASON_DONE);
    EXPECT_EQ(o.bytes, 32 * 255 * 8);
    EXPECT_EQ(o.bytes, o.bytes_total);
    const std::string message = velor_session_message(s.handle);
    EXPECT_NE(message.find("Мікропрограма успішно завантажена в "), std::string::npos) << message;
    EXPECT_EQ(l.endText, message);
    ASSERT_FALSE(l.percents.empty());
    EXPECT_EQ(l.percents.back(), 100);
    for (std::size_t i = 1; i < l.percents.size(); ++i) {
        EXPECT_LE(l.percents[i - 1], l.percents[i]);
    }
    EXPECT_EQ(l.types.front(), VELOR_EVENT_STARTED);
    EXPECT_EQ(l.types.back(), VELOR_EVENT_ENDED);

    velor_device d;
    ASSERT_EQ(velor_session_device(s.handle, &d), VELOR_OK);
    EXPECT_EQ(d.pages, 8);
    EXPECT_EQ(d.blocks_per_page, 32);
    EXPECT_EQ(d.block_size, 255);

    // The device memory holds the image's bytes.
    device.Stop();
    const std::vector<uint8_t> dump = device.Dump();
    ASSERT_GE(dump.size(), 0xF0E6u);
    EXPECT_EQ(std::string(dump.begin() + 0xF0E0, dump.begin() + 0xF0E6), "241004");
}

TEST(LibrarySession, TheReleaseGateRefusesANewerRelease) {
    std::vector<std::string> args = kStampGeometry;
    args.insert(args.end(), {"--description", "241005"});
    DevsimProcess device(args);
    Image image;
    Session s(device.Path());
    ASSERT_EQ(velor_session_write(s.handle, image.handle), VELOR_OK);
    const velor_outcome o = s.Outcome();
    EXPECT_EQ(o.kind, VELOR_OUTCOME_REFUSED);
    EXPECT_EQ(o.reason, VELOR_REASON_NEWER_RELEASE);
    EXPECT_NE(std::string(velor_session_message(s.handle)).find("новіша версія"),
              std::string::npos);
}

TEST(LibrarySession, IdentifyAndAMissingPort) {
    DevsimProcess device(kStampGeometry);
    Session s(device.Path());
    ASSERT_EQ(velor_session_identify(s.handle), VELOR_OK);
    EXPECT_EQ(s.Outcome().kind, VELOR_OUTCOME_DONE);
    velor_device d;
    ASSERT_EQ(velor_session_device(s.handle, &d), VELOR_OK);
    EXPECT_EQ(d.pages, 8);

    Session missing("/dev/velor-no-such-port");
    ASSERT_EQ(velor_session_identify(missing.handle), VELOR_OK);
    const velor_outcome o = missing.Outcome();
    EXPECT_EQ(o.kind, VELOR_OUTCOME_PORT_ERROR);
    EXPECT_EQ(o.reason, VELOR_REASON_PORT_MISSING);
    EXPECT_GT(o.port_message, 0);
    EXPECT_STRNE(velor_session_message(missing.handle), "");
}

TEST(LibrarySession, AStopFromAnotherThreadEndsTheWriteStopped) {
    DevsimProcess device({"--geometry", "32:255:64"});
    Image image;
    Session s(device.Path());
    std::atomic<int64_t> written{0};
    const velor_event_fn follow = [](const velor_event* e, void* user) {
        if (e->type == VELOR_EVENT_PROGRESS) {
            static_cast<std::atomic<int64_t>*>(user)->store(e->bytes);
        }
    };
    ASSERT_EQ(velor_session_set_events(s.handle, follow, &written), VELOR_OK);
    std::atomic<bool> ended{false};
    std::thread writer([&] {
        EXPECT_EQ(velor_session_write(s.handle, image.handle), VELOR_OK);
        ended = true;
    });
    for (int i = 0; i < 2000 && written == 0 && !ended; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Refused while the write runs: a second write, a new callback, a close, a free.
    EXPECT_EQ(velor_session_write(s.handle, image.handle), VELOR_E_BUSY);
    EXPECT_EQ(velor_session_set_events(s.handle, nullptr, nullptr), VELOR_E_BUSY);
    EXPECT_EQ(velor_session_close(s.handle), VELOR_E_BUSY);
    EXPECT_EQ(velor_session_free(s.handle), VELOR_E_BUSY);
    EXPECT_EQ(velor_session_stop(s.handle), VELOR_OK);
    writer.join();
    const velor_outcome o = s.Outcome();
    EXPECT_EQ(o.kind, VELOR_OUTCOME_STOPPED);
    EXPECT_EQ(o.reason, VELOR_REASON_STOPPED);
    EXPECT_GT(o.bytes, 0);
    EXPECT_LT(o.bytes, o.bytes_total);
    EXPECT_EQ(velor_session_stop(s.handle), VELOR_E_IDLE);
}

TEST(LibrarySession, ACallbackThatCallsBackOrThrowsCannotHarmTheSession) {
    DevsimProcess device({"--geometry", "32:255:16"});
    Image image;
    Session s(device.Path());
    Listener l;
    l.session = s.handle;
    l.image = image.handle;
    l.throwAtProgress = true;
    ASSERT_EQ(velor_session_set_events(s.handle, Record, &l), VELOR_OK);
    ASSERT_EQ(velor_session_write(s.handle, image.handle), VELOR_OK);
    EXPECT_EQ(l.nestedWrite, VELOR_E_REENTRANT);
    EXPECT_EQ(l.nestedFree, VELOR_E_REENTRANT);
    // The exception asked the write to stop at its next safe point.
    EXPECT_EQ(s.Outcome().kind, VELOR_OUTCOME_STOPPED);
    // The session is whole: the next write runs to its end.
    l.session = nullptr;
    l.throwAtProgress = false;
    ASSERT_EQ(velor_session_write(s.handle, image.handle), VELOR_OK);
    EXPECT_EQ(s.Outcome().kind, VELOR_OUTCOME_DONE) << velor_session_message(s.handle);
}

TEST(LibrarySession, SessionsOnThreadsRunSideBySide) {
    DevsimProcess a(kStampGeometry);
    DevsimProcess b(kStampGeometry);
    DevsimProcess c({"--ignore", "02"});
    Image image;
    std::vector<int> kinds(3, -2);
    std::vector<std::thread> threads;
    const std::vector<std::string> ports = {a.Path(), b.Path(), c.Path()};
    for (std::size_t i = 0; i < ports.size(); ++i) {
        threads.emplace_back([&, i] {
            Session s(ports[i]);
            EXPECT_EQ(velor_session_write(s.handle, image.handle), VELOR_OK);
            kinds[i] = s.Outcome().kind;
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(kinds[0], VELOR_OUTCOME_DONE);
    EXPECT_EQ(kinds[1], VELOR_OUTCOME_DONE);
    EXPECT_EQ(kinds[2], VELOR_OUTCOME_REFUSED);
}

}  // namespace
}  // namespace velor::testing
