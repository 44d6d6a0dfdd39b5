#pragma once
// The options several commands share, each declared once: its names, its value's name, its
// description and how its value is checked. A refused value ends the parse with a usage error.

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace velor::cli {

// -p, --port P: one port. Without it the port is that of VELOR_PORT (PortFromEnvironment).
void AddPortOption(CLI::App& app, std::string& port);
// -p, --port P repeated, --ports A,B,C and --all: several ports, each once in the order given.
void AddPortsOptions(CLI::App& app, std::vector<std::string>& ports, bool& allPorts);
// -b, --baud RATE: a rate of the window's list.
void AddBaudOption(CLI::App& app, int& baudIndex);
// --hex FILE: an Intel HEX file instead of the embedded release.
void AddHexOption(CLI::App& app, std::string& hexFile);
// Whose output the options shape: one device's, a gang write's or a station's.
enum class OutputUse { Device, Gang, Station };
// -q, --quiet; --json; --log FILE.
void AddOutputOptions(CLI::App& app, bool& quiet, bool& json, std::string& logFile,
                      OutputUse use = OutputUse::Device);

// What is wrong with the output options given together; empty when nothing is.
std::string OutputOptionsProblem(bool quiet, bool json);

// VELOR_PORT, the port of a command given none; empty when unset.
std::string PortFromEnvironment();

}  // namespace velor::cli
