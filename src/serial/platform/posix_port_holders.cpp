#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <system_error>

#include "serial/PortHolders.h"
#include "serial/platform/PosixTermios.h"

namespace velor {
namespace fs = std::filesystem;

namespace {

// A machine has some thousands of open files; a scan stops after this many, whatever /proc holds.
constexpr int kMaxOpenFilesLooked = 1 << 20;
// The kernel keeps a command name to 15 bytes; more is no command name.
constexpr std::streamsize kMaxCommandName = 64;

std::string CommandName(const fs::path& processDir) {
    std::ifstream comm(processDir / "comm");
    std::string name(static_cast<std::size_t>(kMaxCommandName), '\0');
    comm.read(name.data(), kMaxCommandName);
    name.resize(static_cast<std::size_t>(comm.gcount()));
    if (const auto end = name.find('\n'); end != std::string::npos) {
        name.resize(end);
    }
    return name;
}

// Whether the open file behind the fd link is the character device rdev. Only links into /dev
// are looked through: stat of any other open file (a FUSE mount) might wait on its server.
bool IsTheDevice(const fs::path& fdLink, dev_t rdev) {
    std::error_code ec;
    const std::string target = fs::read_symlink(fdLink, ec).string();
    if (ec || target.rfind("/dev/", 0) != 0) {
        return false;
    }
    struct stat st {};
    return ::stat(fdLink.c_str(), &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == rdev;
}

std::vector<PortHolder> Holders(const std::string& devicePath, const std::string& procRoot,
                                int skippedPid) {
    struct stat device {};
    if (::stat(devicePath.c_str(), &device) != 0 || !S_ISCHR(device.st_mode)) {
        return {};
    }
    std::vector<PortHolder> holders;
    int looked = 0;
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pidText = it->path().filename().string();
        if (pidText.empty() || pidText.size() > 9 ||
            pidText.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const int pid = std::stoi(pidText);
        if (pid == skippedPid) {
            continue;
        }
        // A process that is not ours to look into, or gone meanwhile, is skipped.
        std::error_code fdError;
        for (fs::directory_iterator fd(it->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            if (++looked > kMaxOpenFilesLooked) {
                return holders;
            }
            if (IsTheDevice(fd->path(), device.st_rdev)) {
                holders.push_back({pid, CommandName(it->path())});
                break;
            }
        }
    }
    return holders;
}

}  // namespace

std::vector<PortHolder> FindPortHolders(const std::string& port, const std::string& procRoot) {
    return Holders(posix::DevicePath(port), procRoot, 0);
}

std::vector<PortHolder> FindOtherHolders(const std::string& devicePath,
                                         const std::string& procRoot) {
    return Holders(devicePath, procRoot, static_cast<int>(::getpid()));
}

}  // namespace velor
