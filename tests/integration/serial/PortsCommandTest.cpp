// velor-flash ports as a user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct CommandRun {
    std::string out;
    int status = -1;
};

CommandRun RunPorts(const std::string& environment, const std::string& args = "") {
    const std::string command =
        environment + " " + VELOR_FLASH_PATH + " ports " + args + " 2>/dev/null";
    CommandRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return run;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe) != nullptr)
        run.out += buffer.data();
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(PortsCommand, ListsTheExtraPortsOneALineSortedAmongTheOthers) {
    const CommandRun run =
        RunPorts("VELOR_EXTRA_PORTS=/tmp/velor-b:/dev/velor-missing:/tmp/velor-a");
    ASSERT_EQ(run.status, 0);
    const auto a = run.out.find("/tmp/velor-a\n");
    const auto b = run.out.find("/tmp/velor-b\n");
    const auto missing = run.out.find("/dev/velor-missing\n");
    ASSERT_NE(a, std::string::npos) << run.out;
    ASSERT_NE(b, std::string::npos) << run.out;
    ASSERT_NE(missing, std::string::npos) << "listed even though it does not exist";
    EXPECT_LT(missing, a);
    EXPECT_LT(a, b);
}

}  // namespace
