// libvelor's C interface as a program sees it: the public header and the shared library only.
// Bad input first (each gets its own code), then the firmware load.
#include <gtest/gtest.h>

#include <velor/velor.h>

#include <cstring>
#include <string>

namespace {

TEST(LibraryCalls, NullPointersGetTheirOwnCode) {
    velor_image* image = nullptr;
    velor_session* session = nullptr;
    EXPECT_EQ(velor_image_load(nullptr, &image), VELOR_E_NULL);
    EXPECT_EQ(velor_image_load("x.hex", nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_image_load_text(nullptr, 3, &image), VELOR_E_NULL);
    EXPECT_EQ(velor_image_embedded(nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_session_open(nullptr, 0, &session), VELOR_E_NULL);
    EXPECT_EQ(velor_session_open("/dev/null", 0, nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_session_identify(nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_session_write(nullptr, nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_session_stop(nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_session_outcome(nullptr, nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_ports(nullptr), VELOR_E_NULL);
    EXPECT_STREQ(velor_session_message(nullptr), "");
    EXPECT_STREQ(velor_image_sha256(nullptr), "");
    EXPECT_EQ(velor_session_free(nullptr), VELOR_OK);
    velor_image_free(nullptr);

    ASSERT_EQ(velor_session_open("/dev/null", 0, &session), VELOR_OK);
    EXPECT_EQ(velor_session_write(session, nullptr), VELOR_E_NULL);
    EXPECT_EQ(velor_session_outcome(session, nullptr), VELOR_E_NULL);
    velor_device device;
    EXPECT_EQ(velor_session_device(session, &device), VELOR_E_NO_DEVICE);
    EXPECT_EQ(velor_session_free(session), VELOR_OK);
}

TEST(LibraryCalls, PortNamesAndRatesAreChecked) {
    velor_session* session = nullptr;
    EXPECT_EQ(velor_session_open("/dev/tty\xC3\x28", 0, &session), VELOR_E_NOT_UTF8);
    EXPECT_EQ(velor_session_open("/dev/tty\xC0\xAF", 0, &session), VELOR_E_NOT_UTF8);  // overlong
    EXPECT_EQ(velor_session_open("/dev/tty\xED\xA0\x80", 0, &session), VELOR_E_NOT_UTF8);
    EXPECT_EQ(session, nullptr);
    velor_image* image = nullptr;
    EXPECT_EQ(velor_image_load("/tmp/\xFF.hex", &image), VELOR_E_NOT_UTF8);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(velor_session_open("", 0, &session), VELOR_E_INVALID);
    EXPECT_EQ(velor_session_open("/dev/ttyS0", 12345, &session), VELOR_E_INVALID);
    ASSERT_EQ(velor_session_open("/dev/ttyЖ0", 57600, &session), VELOR_OK);
    velor_session_free(session);
}

TEST(LibraryCalls, ClosedSessionsAndIdleStopsAreRefused) {
    velor_session* session = nullptr;
    ASSERT_EQ(velor_session_open("/dev/null", 0, &session), VELOR_OK);
    EXPECT_EQ(velor_session_stop(session), VELOR_E_IDLE);
    velor_outcome outcome;
    ASSERT_EQ(velor_session_outcome(session, &outcome), VELOR_OK);
    EXPECT_EQ(outcome.kind, VELOR_OUTCOME_NONE);
    EXPECT_EQ(velor_session_close(session), VELOR_OK);
    EXPECT_EQ(velor_session_identify(session), VELOR_E_CLOSED);
    EXPECT_EQ(velor_session_reset(session), VELOR_E_CLOSED);
    EXPECT_EQ(velor_session_free(session), VELOR_OK);
}

TEST(LibraryCalls, AHandleOfTheWrongKindIsNotALiveHandle) {
    velor_image* image = nullptr;
    ASSERT_EQ(velor_image_embedded(&image), VELOR_OK);
    auto* notSession = reinterpret_cast<velor_session*>(image);
    EXPECT_EQ(velor_session_identify(notSession), VELOR_E_BAD_HANDLE);
    EXPECT_EQ(velor_session_free(notSession), VELOR_E_BAD_HANDLE);
    velor_image_free(image);
}

#ifdef VELOR_LIB_HANDLE_CHECKS
TEST(LibraryCalls, AFreedHandleIsCaughtInCheckedBuilds) {
    velor_session* session = nullptr;
    ASSERT_EQ(velor_session_open("/dev/null", 0, &session), VELOR_OK);
    ASSERT_EQ(velor_session_free(session), VELOR_OK);
    EXPECT_EQ(velor_session_identify(session), VELOR_E_BAD_HANDLE);
}
#endif

// Under the sanitizer suite LeakSanitizer checks that nothing of them stays behind.
TEST(LibraryCalls, AThousandSessionsOpenRunAndCloseCleanly) {
    for (int i = 0; i < 1000; ++i) {
        velor_session* session = nullptr;
        ASSERT_EQ(velor_session_open("/dev/velor-no-such-port", 115200, &session), VELOR_OK);
        if (i % 10 == 0) {
            ASSERT_EQ(velor_session_identify(session), VELOR_OK);
            velor_outcome outcome;
            ASSERT_EQ(velor_session_outcome(session, &outcome), VELOR_OK);
            ASSERT_EQ(outcome.reason, VELOR_REASON_PORT_MISSING);
        }
        ASSERT_EQ(velor_session_close(session), VELOR_OK);
        ASSERT_EQ(velor_session_free(session), VELOR_OK);
    }
}

TEST(LibraryCalls, TheCodesHaveTheirWords) {
    EXPECT_STREQ(velor_outcome_name(VELOR_OUTCOME_DONE), "done");
    EXPECT_STREQ(velor_outcome_name(VELOR_OUTCOME_PORT_ERROR), "port-error");
    EXPECT_STREQ(velor_outcome_name(VELOR_OUTCOME_NONE), "none");
    EXPECT_STREQ(velor_reason_name(VELOR_REASON_NEWER_RELEASE), "newer-release");
    EXPECT_STREQ(velor_reason_name(VELOR_REASON_UNKNOWN_DEVICE), "unknown-bootloader");
    EXPECT_STREQ(velor_reason_name(VELOR_REASON_ERROR), "error");
    EXPECT_STREQ(velor_reason_name(99), "");
    EXPECT_STREQ(velor_version(), "1.0.0");
    EXPECT_STRNE(velor_status_text(VELOR_E_BUSY), velor_status_text(VELOR_E_REENTRANT));
}

TEST(LibraryImage, TheEmbeddedReleaseEqualsItsFile) {
    velor_image* embedded = nullptr;
    velor_image* file = nullptr;
    ASSERT_EQ(velor_image_embedded(&embedded), VELOR_OK);
    ASSERT_EQ(velor_image_load(VELOR_RELEASE_HEX, &file), VELOR_OK);
    EXPECT_EQ(velor_image_ok(file), 1);
    EXPECT_EQ(std::strlen(velor_image_sha256(embedded)), 64u);
    EXPECT_STREQ(velor_image_sha256(embedded), velor_image_sha256(file));
    // The release's last record ends with its stamp page.
    EXPECT_GT(velor_image_size(embedded), 0xF0E0);
    EXPECT_EQ(velor_image_size(embedded), velor_image_size(file));
    EXPECT_STREQ(velor_image_message(file), "");
    velor_image_free(embedded);
    velor_image_free(file);
}

TEST(LibraryImage, ARefusedLineIsNamedByNumberAndText) {
    const std::string text =
        ":0400000001020304F2\r\n"
        ":0400040005060708DE\r\n"
        ":04000800090A0B0C00\r\n"  // check sum wrong
        ":00000001FF\r\n";
    velor_image* image = nullptr;
    EXPECT_EQ(velor_image_load_text(text.data(), text.size(), &image), VELOR_E_REFUSED_TEXT);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(velor_image_ok(image), 0);
    EXPECT_EQ(velor_image_line(image), 3);
    EXPECT_EQ(std::string(velor_image_message(image)),
              "Помилка контрольної суми у строці мікропрограми: 3! (:04000800090A0B0C00)");
    EXPECT_STREQ(velor_image_sha256(image), "");
    velor_image_free(image);
}

TEST(LibraryImage, AFileThatCannotBeReadSaysWhy) {
    velor_image* image = nullptr;
    EXPECT_EQ(velor_image_load("/nonexistent/velor.hex", &image), VELOR_E_FILE);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(std::string(velor_image_message(image)).find("/nonexistent/velor.hex"),
              std::string::npos);
    EXPECT_EQ(velor_image_line(image), 0);
    velor_image_free(image);
    // A folder is not a firmware file, and nothing waits on a FIFO.
    EXPECT_EQ(velor_image_load("/tmp", &image), VELOR_E_FILE);
    velor_image_free(image);
}

TEST(LibraryImage, ATextWithoutDataIsRefusedWithoutALine) {
    const std::string text = ":00000001FF\r\n";
    velor_image* image = nullptr;
    EXPECT_EQ(velor_image_load_text(text.data(), text.size(), &image), VELOR_E_REFUSED_TEXT);
    EXPECT_EQ(velor_image_line(image), 0);
    EXPECT_NE(std::string(velor_image_message(image)).find("не містить жодного запису"),
              std::string::npos);
    velor_image_free(image);
}

}  // namespace
