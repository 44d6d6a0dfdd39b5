// velor-flash's command line as people type it: both forms of a value, short names, options on
// either side of the command, the default port from the environment, one-line usage errors.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "cli/commands/CheckOptions.h"
#include "cli/commands/CommandLine.h"
#include "cli/commands/CommandTable.h"
#include "cli/commands/DeviceOptions.h"
#include "cli/commands/PortsOptions.h"
#include "cli/commands/TraceShowOptions.h"
#include "cli/production/GangOptions.h"
#include "cli/records/RecordsOptions.h"

namespace velor::cli {
namespace {

void SetPortVariable(const char* value) {
#ifdef _WIN32
    _putenv_s("VELOR_PORT", value == nullptr ? "" : value);
#else
    value ? setenv("VELOR_PORT", value, 1) : unsetenv("VELOR_PORT");
#endif
}

// VELOR_PORT as a test sets it, restored afterwards.
class PortVariable {
  public:
    explicit PortVariable(const char* value) {
        if (const char* old = std::getenv("VELOR_PORT")) {
            m_old = old;
        }
        SetPortVariable(value);
    }
    ~PortVariable() { SetPortVariable(m_old.empty() ? nullptr : m_old.c_str()); }

  private:
    std::string m_old;
};

std::optional<DeviceOptions> Write(const Args& args, std::string& error) {
    return ParseDeviceOptions("write", args, error);
}

TEST(CommandLine, ValuesJoinedOrSeparateAndShortNames) {
    const PortVariable none(nullptr);
    std::string error;
    for (const Args& args : std::vector<Args>{
             {"--port=/dev/ttyUSB3", "--baud=57600", "--quiet"},
             {"--port", "/dev/ttyUSB3", "--baud", "57600", "-q"},
             {"-p", "/dev/ttyUSB3", "-b", "57600", "-q"},
             {"-p/dev/ttyUSB3", "-b57600", "-q"},
         }) {
        const auto o = Write(args, error);
        ASSERT_TRUE(o) << error;
        EXPECT_EQ(o->port, "/dev/ttyUSB3");
        EXPECT_EQ(o->baudIndex, 11);
        EXPECT_TRUE(o->quiet);
    }
    const auto hex = Write({"-p", "a", "--hex=fw.hex", "--log", "run.log", "--json"}, error);
    ASSERT_TRUE(hex) << error;
    EXPECT_EQ(hex->hexFile, "fw.hex");
    EXPECT_EQ(hex->logFile, "run.log");
    EXPECT_TRUE(hex->json);
}

TEST(CommandLine, UsageErrorsAreOneLineWithTheCommandsHelpNamed) {
    const PortVariable none(nullptr);
    std::string error;
    const struct {
        Args args;
        std::string says;
    } cases[] = {
        {{"--prot", "a"}, "unknown option '--prot', did you mean '--port'?"},
        {{"--port", "a", "--baud", "7"}, "unsupported rate '7'"},
        {{"--port"}, "option '--port' needs a value"},
        {{"--port", "a", "--port", "b"}, "option '--port' may be given once"},
        {{"--port", "a", "--quiet", "--json"}, "--quiet and --json exclude each other"},
        {{}, "--port is required"},
        {{"--port", ""}, "--port"},
        {{"--port", "a", "stray"}, "unexpected argument 'stray'"},
    };
    for (const auto& c : cases) {
        error.clear();
        EXPECT_FALSE(Write(c.args, error));
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
        EXPECT_TRUE(error.starts_with("velor-flash write: ")) << error;
        EXPECT_TRUE(error.ends_with("(see `velor-flash write --help`)")) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    // detect has no --hex: it is not taken silently.
    EXPECT_FALSE(ParseDeviceOptions("detect", {"-p", "a", "--hex", "f.hex"}, error));
    EXPECT_NE(error.find("velor-flash detect: unknown option '--hex'"), std::string::npos);
}

TEST(CommandLine, ThePortComesFromVelorPortWhenNoneIsGiven) {
    const PortVariable port("/dev/ttyACM7");
    std::string error;
    const auto fromEnvironment = ParseDeviceOptions("detect", {}, error);
    ASSERT_TRUE(fromEnvironment) << error;
    EXPECT_EQ(fromEnvironment->port, "/dev/ttyACM7");
    const auto given = ParseDeviceOptions("detect", {"-p", "/dev/ttyUSB0"}, error);
    ASSERT_TRUE(given) << error;
    EXPECT_EQ(given->port, "/dev/ttyUSB0");
    const auto doctor = ParseDoctorOptions({}, error);
    ASSERT_TRUE(doctor) << error;
    EXPECT_EQ(doctor->port, "/dev/ttyACM7");
}

TEST(CommandLine, HelpAndVersionEndTheParseWhateverElseIsThere) {
    std::string error;
    const auto help = Write({"--bogus", "--help"}, error);
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->help);
    const auto version = ParseGangOptions({"--version"}, true, error);
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->version);
    EXPECT_EQ(VersionLine().rfind("velor-flash ", 0), 0u);
    EXPECT_GT(VersionLine().size(), std::string("velor-flash ").size());
}

TEST(CommandLine, OptionsMayComeBeforeOrAfterTheCommand) {
    const auto split = SplitCommandLine({"-p", "/dev/ttyUSB0", "write", "--hex", "check"});
    EXPECT_EQ(split.command, "write");
    EXPECT_EQ(split.args, (Args{"-p", "/dev/ttyUSB0", "--hex", "check"}));
    // A port or a file may bear a command's name: an option's value is never the command.
    EXPECT_EQ(SplitCommandLine({"--port", "reset", "detect"}).command, "detect");
    EXPECT_EQ(SplitCommandLine({"--port=reset", "detect"}).command, "detect");
    EXPECT_EQ(SplitCommandLine({"--image-out", "x.bin", "check", "f.hex"}).args,
              (Args{"--image-out", "x.bin", "f.hex"}));
    // A misspelt option before the command may seem to take the next word: the command wins.
    const auto slip = SplitCommandLine({"--prot", "a", "write"});
    EXPECT_EQ(slip.command, "write");
    EXPECT_EQ(slip.args, (Args{"--prot", "a"}));
    EXPECT_EQ(SplitCommandLine({"--version"}).command, "");
    EXPECT_EQ(SplitCommandLine({"wirte", "-p", "a"}).command, "wirte");
}

TEST(CommandLine, MisspeltNamesGetTheNearestSuggestion) {
    const std::vector<std::string> names{"--port", "--ports", "--baud", "--hex", "--json"};
    EXPECT_EQ(NearestName("--prot", names), "--port");
    EXPECT_EQ(NearestName("--bad", names), "--baud");
    EXPECT_EQ(NearestName("--jsno", names), "--json");
    EXPECT_EQ(NearestName("--portz", names), "--port");
    EXPECT_EQ(NearestName("--verbose", names), std::nullopt);
    EXPECT_EQ(NearestName("wirte", {"write", "reset"}), "write");
    EXPECT_EQ(NearestName("x", {"write", "reset"}), std::nullopt);
}

TEST(CommandLine, EveryOptionOfEveryTableIsInItsHelp) {
    const AllCommandApps apps;
    const std::string helps[] = {CheckHelp(),          PortsHelp(),         DoctorHelp(),
                                 DeviceHelp("detect"), DeviceHelp("write"), GangHelp(false),
                                 GangHelp(true),       DeviceHelp("reset"), ReportHelp(),
                                 RecordsHelp(),        TraceShowHelp()};
    ASSERT_EQ(apps.Apps().size(), std::size(helps));
    for (std::size_t i = 0; i < apps.Apps().size(); ++i) {
        EXPECT_EQ(HelpText(*apps.Apps()[i]), helps[i]);
        for (const char* option : {"--help", "--version"}) {
            EXPECT_NE(helps[i].find(option), std::string::npos) << i << option;
        }
    }
    EXPECT_NE(DeviceHelp("write").find("-p, --port P"), std::string::npos);
    EXPECT_NE(DeviceHelp("write").find("-b, --baud RATE"), std::string::npos);
    EXPECT_EQ(DeviceHelp("detect").find("--hex"), std::string::npos);
    EXPECT_NE(GangHelp(true).find("--record FILE"), std::string::npos);
    for (const std::string& help : helps) {
        std::size_t begin = 0;
        while (begin < help.size()) {
            const std::size_t end = help.find('\n', begin);
            EXPECT_LE(end - begin, 88u) << help.substr(begin, end - begin);
            begin = end + 1;
        }
    }
}

}  // namespace
}  // namespace velor::cli
