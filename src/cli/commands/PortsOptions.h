#pragma once
// The options of velor-flash ports and velor-flash doctor.

#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace velor::cli {

struct PortsOptions {
    bool longList = false;  // -l, --long
    bool help = false;
    bool version = false;
};

struct DoctorOptions {
    std::string port;  // --port, or VELOR_PORT; empty: no device checks
    bool help = false;
    bool version = false;
};

std::unique_ptr<CLI::App> PortsApp(PortsOptions& options);
std::unique_ptr<CLI::App> DoctorApp(DoctorOptions& options);

std::string PortsHelp();
std::string DoctorHelp();

// On a usage error nullopt, error set to the line to show.
std::optional<PortsOptions> ParsePortsOptions(const Args& args, std::string& error);
std::optional<DoctorOptions> ParseDoctorOptions(const Args& args, std::string& error);

}  // namespace velor::cli
