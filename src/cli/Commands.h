#pragma once
// The subcommands of velor-flash. Each returns the process exit code.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace velor::cli {

// Exit codes shared by every subcommand.
enum ExitCode : int {
    kExitDone = 0,
    kExitRefused = 1,  // a gate, the failure rule or a refused firmware text
    kExitUsage = 2,
    kExitPortError = 3,  // EComPort
    kExitStopped = 4,    // the stop key (Ctrl+C)
};

using Args = std::vector<std::string>;

// The baud list's index of the rate --baud names; nullopt, with error set, for a rate the
// window's list does not hold.
std::optional<int> BaudIndexOf(const std::string& rate, std::string& error);
// "115200": the default rate's text, for the help.
const std::string& DefaultBaudText();

// Sent before a line rewritten in place: back to the line's start, the old text erased.
inline constexpr const char* kRewriteLine = "\r\033[K";

int RunCheck(const Args& args);      // velor-flash check [FILE] [--image-out BIN] [--size N]
int RunPorts(const Args& args);      // velor-flash ports
int RunDoctor(const Args& args);     // velor-flash doctor
int RunDetect(const Args& args);     // velor-flash detect --port P [--baud RATE]
int RunWrite(const Args& args);      // velor-flash write --port P [--baud RATE] [--hex FILE]
int RunReset(const Args& args);      // velor-flash reset --port P [--baud RATE]
int RunGangWrite(const Args& args);  // velor-flash write --port A --port B ... (or --ports, --all)
int RunStation(const Args& args);    // velor-flash station --port A ... [--count N] [--record F]
int RunReport(const Args& args);     // velor-flash report SOURCE [--since T] [--until T] ...
int RunRecords(const Args& args);    // velor-flash records init TARGET | push URL

}  // namespace velor::cli
