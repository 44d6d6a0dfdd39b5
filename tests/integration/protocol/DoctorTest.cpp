// velor-flash doctor against what technicians meet: a healthy device, a silent one, a port that
// another program holds and a port that is not there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "DevsimProcess.h"
#include "FlashRun.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using test::Has;

FlashResult Doctor(const std::string& port) {
    return RunFlashProgram({"doctor", "--port", port}, {"VELOR_EXTRA_PORTS=" + port});
}

TEST(Doctor, AHealthyDeviceAnswersWithItsReplyLatency) {
    DevsimProcess devsim({});
    const auto r = Doctor(devsim.Path());
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.out, "ok    port " + devsim.Path())) << r.out;
    EXPECT_TRUE(Has(r.out, "ok    you may read and write " + devsim.Path())) << r.out;
    EXPECT_TRUE(Has(r.out, "ok    no other program holds")) << r.out;
    EXPECT_TRUE(Has(r.out, "ok    " + devsim.Path() + " opens and takes 115200 baud")) << r.out;
    EXPECT_TRUE(Has(r.out, "ok    a device answered the identification in ")) << r.out;
    EXPECT_FALSE(Has(r.out, "FAIL")) << r.out;
}

TEST(Doctor, ASilentDeviceIsAFailureWithWhatToDo) {
    DevsimProcess devsim({"--ignore", "02"});
    const auto r = Doctor(devsim.Path());
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_TRUE(Has(r.out, "FAIL  no device answered the wake-up and identification")) << r.out;
    EXPECT_TRUE(Has(r.out, "      -> check the cable")) << r.out;
}

TEST(Doctor, AHeldPortNamesItsHolder) {
    DevsimProcess devsim({});
    const int held = open(devsim.Path().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    const auto r = Doctor(devsim.Path());
    close(held);
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_TRUE(Has(r.out, "FAIL  " + devsim.Path() + " is held by ")) << r.out;
    EXPECT_TRUE(Has(r.out, "(process " + std::to_string(getpid()) + ")")) << r.out;
    EXPECT_TRUE(Has(r.out, "FAIL  " + devsim.Path() + " does not open")) << r.out;
}

TEST(Doctor, AMissingPortSaysSoAndHowToFindIt) {
    const auto r = Doctor("/dev/velor-none");
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_TRUE(Has(r.out, "FAIL  no such port: /dev/velor-none")) << r.out;
    EXPECT_TRUE(Has(r.out, "velor-flash ports")) << r.out;
}

}  // namespace
}  // namespace velor::testing
