// HEX files that are not what they seem: devices, FIFOs, huge sparse files, masses of empty lines.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>

#include "OutsideFiles.h"
#include "ProgramRun.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using test::Has;

RunResult Check(const std::string& file) {
    return ProgramRun({"/usr/bin/timeout", "60", VELOR_FLASH, "check", file}).Wait();
}

TEST(HexFiles, OnlyRegularFilesAreRead) {
    WorkFolder folder;
    const std::string fifo = folder / "firmware.hex";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& file : {std::string("/dev/zero"), fifo}) {
        const RunResult r = Check(file);
        EXPECT_EQ(r.code, 1) << file << ": " << r.err;
        EXPECT_TRUE(Has(r.err, "not a regular file")) << r.err;
    }
}

TEST(HexFiles, AFileLargerThanAnyImageNeedsIsRefusedWithTheBound) {
    WorkFolder folder;
    const std::string sparse = folder / "sparse.hex";
    { std::ofstream(sparse) << ":00000001FF\n"; }
    ASSERT_EQ(truncate(sparse.c_str(), 100LL << 30), 0);  // 100 GB, no block of it on the disk
    const RunResult r = Check(sparse);
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_TRUE(Has(r.err, "larger than 64 MiB")) << r.err;
}

// Just below the bound, nothing but line ends: the check's memory stays a small multiple of the
// text, not a structure per line many times its size.
TEST(HexFiles, EmptyLinesCostNoMemoryPerLine) {
    WorkFolder folder;
    const std::string lines = folder / "lines.hex";
    constexpr std::size_t kSize = 60u << 20;
    { std::ofstream(lines, std::ios::binary) << std::string(kSize, '\n'); }
    const pid_t pid = fork();
    if (pid == 0) {
        execl(VELOR_FLASH, VELOR_FLASH, "check", lines.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(pid, 0);
    int status = 0;
    rusage usage{};
    ASSERT_EQ(wait4(pid, &status, 0, &usage), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);  // no data in it
    const long peakBytes = usage.ru_maxrss * 1024L;
    EXPECT_LT(peakBytes, static_cast<long>(4 * kSize)) << "peak " << (peakBytes >> 20) << " MiB";
}

}  // namespace
}  // namespace velor::testing
