// Files the programs write, at a path where someone else planted a link or a file: nothing is
// written through the link, nothing is deleted, and an image is replaced whole or not at all.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DevsimProcess.h"
#include "GangHelpers.h"
#include "OutsideFiles.h"
#include "ProgramRun.h"
#include "Spawn.h"
#include "support/TextLines.h"

namespace velor::testing {
namespace {

using test::Has;

// Under a time limit: a program that waits for ever on what it was given ends as 124.
RunResult Limited(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/timeout", "20", program});
    return ProgramRun(std::move(args)).Wait();
}

RunResult Flash(std::vector<std::string> args) {
    return Limited(VELOR_FLASH, std::move(args));
}

TEST(PlantedLinks, VelorFlashWritesNoFileThroughALink) {
    WorkFolder folder;
    const std::string image = folder / "image.bin";
    const std::string victim = PlantLinkToVictim(folder, image);
    const RunResult check = Flash({"check", "--image-out", image});
    EXPECT_EQ(check.code, 1) << check.out << check.err;
    EXPECT_TRUE(Has(check.err, "not a regular file")) << check.err;
    EXPECT_EQ(ReadAll(victim), "precious\n");

    const std::string log = folder / "attempts.log";
    std::filesystem::create_symlink(victim, log);
    const RunResult write = Flash({"write", "--port", folder / "no-port", "--log", log});
    EXPECT_EQ(write.code, 1) << write.err;
    EXPECT_TRUE(Has(write.err, "not a regular file")) << write.err;
    EXPECT_EQ(ReadAll(victim), "precious\n");

    // A FIFO is not a file either: refused, not waited on.
    const std::string fifo = folder / "fifo.log";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const RunResult toFifo = Flash({"write", "--port", folder / "no-port", "--log", fifo});
    EXPECT_EQ(toFifo.code, 1) << toFifo.err;
}

TEST(PlantedLinks, TheStationRecordsNothingThroughALink) {
    WorkFolder folder;
    const std::string record = folder / "line.csv";
    const std::string victim = PlantLinkToVictim(folder, record);
    DevsimProcess device({"--geometry", "4:64:8"});
    const RunResult r =
        Flash({"station", "--port", device.Path(), "--count", "1", "--record", record});
    EXPECT_NE(r.code, 0) << r.out << r.err;
    EXPECT_TRUE(Has(r.err, "not a regular file")) << r.err;
    EXPECT_EQ(ReadAll(victim), "precious\n");
    device.Stop();
    EXPECT_FALSE(Received(device, "g04")) << "a device was written without its record";
}

// A size limit (or a full disk) in the middle of the image keeps the previous image whole.
TEST(PlantedLinks, AnImageIsReplacedWholeOrNotAtAll) {
    WorkFolder folder;
    const std::string image = folder / "image.bin";
    WriteAll(image, "the previous image\n");
    const std::string command = "trap '' XFSZ; ulimit -f 16; exec " + std::string(VELOR_FLASH) +
                                " check --image-out " + image;
    const RunResult r = ProgramRun({"/bin/sh", "-c", command}).Wait();
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_EQ(ReadAll(image), "the previous image\n");
    EXPECT_EQ(EntriesIn(folder.path), 1u) << "a partial image was left behind";
    // Without the limit the image is written, and replaces the old one.
    const RunResult whole = Flash({"check", "--image-out", image});
    EXPECT_EQ(whole.code, 0) << whole.err;
    EXPECT_EQ(ReadAll(image).size(), 65536u);
}

// A log line that cannot be written is said at once; the write goes on, and its end says the log
// is incomplete.
TEST(PlantedLinks, AFailedLogWriteIsReported) {
    WorkFolder folder;
    const std::string log = folder / "attempts.log";
    WriteAll(log, std::string(4096, '#') + "\n");
    DevsimProcess device({"--geometry", "4:64:8"});
    const std::string command = "trap '' XFSZ; ulimit -f 4; exec " + std::string(VELOR_FLASH) +
                                " write --port " + device.Path() + " --log " + log;
    const RunResult r = ProgramRun({"/bin/sh", "-c", command}).Wait();
    EXPECT_EQ(r.code, 1) << r.out << r.err;
    EXPECT_TRUE(Has(r.err, "cannot write the log file '" + log + "'")) << r.err;
    EXPECT_TRUE(Has(r.out, "Мікропрограма успішно завантажена")) << r.out;
}

TEST(PlantedLinks, VelorDevsimWritesNoFileThroughALinkAndDeletesNoFile) {
    WorkFolder folder;
    const std::string victim = PlantLinkToVictim(folder, folder / "traffic.log");
    std::filesystem::create_symlink(victim, folder / "memory.bin");

    for (const auto& option : {"--log", "--dump"}) {
        const std::string name = std::string(option) == "--log" ? "traffic.log" : "memory.bin";
        const RunResult r = Limited(VELOR_DEVSIM, {option, folder / name});
        EXPECT_NE(r.code, 0) << option;
        EXPECT_TRUE(Has(r.err, "not a regular file")) << option << ": " << r.err;
        EXPECT_EQ(ReadAll(victim), "precious\n") << option;
    }

    // --link replaces a link (its own from an earlier run) but never a file someone keeps there.
    const std::string kept = folder / "kept";
    WriteAll(kept, "kept\n");
    const RunResult overFile = Limited(VELOR_DEVSIM, {"--link", kept});
    EXPECT_NE(overFile.code, 0);
    EXPECT_EQ(ReadAll(kept), "kept\n");

    // The dump's file aside is its own new file, whatever waits at the name it once had.
    const std::string dump = folder / "fresh.bin";
    std::filesystem::create_symlink(victim, dump + ".tmp");
    {
        ProgramRun run({VELOR_DEVSIM, "--geometry", "4:64:8", "--dump", dump});
        ASSERT_TRUE(WaitUntil([&] { return !run.Out().empty(); }));
        run.Signal(SIGTERM);
        EXPECT_EQ(run.Wait().code, 0);
    }
    EXPECT_EQ(ReadAll(victim), "precious\n");
    EXPECT_EQ(ReadAll(dump).size(), 2048u);
}

}  // namespace
}  // namespace velor::testing
