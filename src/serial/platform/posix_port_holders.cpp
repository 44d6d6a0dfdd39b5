#include <filesystem>
#include <fstream>
#include <system_error>

#include "serial/PortHolders.h"
#include "serial/platform/PosixTermios.h"

namespace velor {
namespace fs = std::filesystem;

std::vector<PortHolder> FindPortHolders(const std::string& port, const std::string& procRoot) {
    std::error_code ec;
    const fs::path device = fs::canonical(posix::DevicePath(port), ec);
    if (ec) {
        return {};
    }
    std::vector<PortHolder> holders;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pidText = it->path().filename().string();
        if (pidText.empty() || pidText.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code fdError;
        for (fs::directory_iterator fd(it->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
             fd.increment(fdError)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fd->path(), linkError);
            if (linkError || target != device) {
                continue;
            }
            PortHolder holder;
            holder.Pid = std::stoi(pidText);
            std::ifstream comm(it->path() / "comm");
            std::getline(comm, holder.Program);
            holders.push_back(std::move(holder));
            break;
        }
    }
    return holders;
}

}  // namespace velor
