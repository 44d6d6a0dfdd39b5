// The doctor's Linux checks: the device node's permissions and groups, and ModemManager.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "cli/commands/Doctor.h"
#include "cli/text/Translate.h"

namespace velor::cli {

namespace {

// Whether the user's account (not this login) is in the group.
bool AccountInGroup(gid_t group) {
    const passwd* user = getpwuid(getuid());
    if (user == nullptr) {
        return false;
    }
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count));
        getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count);
    }
    groups.resize(static_cast<std::size_t>(std::max(count, 0)));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

}  // namespace

std::vector<Finding> CheckAccess(const std::string& port) {
    const std::string path = port.starts_with('/') ? port : "/dev/" + port;
    struct stat node {};
    if (::stat(path.c_str(), &node) != 0) {
        return {{Verdict::Fail, Tr("no such port: ") + path,
                 Tr("velor-flash ports lists the ports present; the adapter may have got another "
                    "name (use --port usb:VID:PID)")}};
    }
    if (::access(path.c_str(), R_OK | W_OK) == 0) {
        return {{Verdict::Ok, Tr("you may read and write ") + path, {}}};
    }
    const group* owner = getgrgid(node.st_gid);
    const std::string name = owner != nullptr ? owner->gr_name : std::to_string(node.st_gid);
    if (AccountInGroup(node.st_gid)) {
        return {
            {Verdict::Fail,
             Tr("you are in the group ") + name + Tr(" of ") + path + Tr(", but not in this login"),
             Tr("log out and in again (or start a shell with: newgrp ") + name + ")"}};
    }
    return {{Verdict::Fail, Tr("no permission to use ") + path + Tr(" (its group is ") + name + ")",
             "sudo usermod -aG " + name + Tr(" $USER, then log out and in again")}};
}

std::vector<Finding> CheckServices() {
    std::error_code ec;
    for (std::filesystem::directory_iterator it("/proc", ec), end; !ec && it != end;
         it.increment(ec)) {
        std::ifstream comm(it->path() / "comm");
        std::string name;
        if (std::getline(comm, name) && name == "ModemManager") {
            return {{Verdict::Warn,
                     Tr("ModemManager runs: it probes new serial adapters and may hold one for "
                        "seconds after it is plugged in"),
                     Tr("sudo systemctl stop ModemManager (on a flashing station: sudo systemctl "
                        "disable ModemManager)")}};
        }
    }
    return {{Verdict::Ok, Tr("ModemManager does not run"), {}}};
}

}  // namespace velor::cli
