#pragma once
// Which programs hold a port open, for the hint after "port busy". Only what the system lets us
// see: on Linux the processes of /proc whose open files include the device (all of them for
// root, one's own otherwise); nothing on Windows.

#include <string>
#include <vector>

namespace velor {

struct PortHolder {
    int Pid = 0;
    std::string Program;  // the process's command name
};

// port: a name as the port list gives it, or a path. procRoot: the proc file system's mount.
std::vector<PortHolder> FindPortHolders(const std::string& port,
                                        const std::string& procRoot = "/proc");

}  // namespace velor
