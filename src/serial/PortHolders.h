#pragma once
// Which programs hold a port open: for the hint after "port busy", and to refuse a port another
// program has open without a lock (root, or a program that uses neither flock nor TIOCEXCL).
// Only what the system lets us see: on Linux the processes of /proc whose open files include the
// device (all of them for root, one's own otherwise); nothing on Windows, where a port opens
// exclusively and a held one is refused by the system itself.

#include <string>
#include <vector>

namespace velor {

struct PortHolder {
    int Pid = 0;
    std::string Program;  // the process's command name, as the system gives it (not escaped)
};

// port: a name as the port list gives it, or a path. procRoot: the proc file system's mount.
std::vector<PortHolder> FindPortHolders(const std::string& port,
                                        const std::string& procRoot = "/proc");

// The same without this process: who else has the device open.
std::vector<PortHolder> FindOtherHolders(const std::string& devicePath,
                                         const std::string& procRoot = "/proc");

}  // namespace velor
