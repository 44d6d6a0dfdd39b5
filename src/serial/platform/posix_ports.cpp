#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "serial/platform/SysfsPortSource.h"

namespace velor {
namespace posix {
namespace fs = std::filesystem;

std::vector<std::string> SplitExtraPorts(const std::string& value) {
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find(':', start), value.size());
        if (end > start) {
            paths.push_back(value.substr(start, end - start));
        }
        start = end + 1;
    }
    return paths;
}

SysfsPortSource SysfsPortSource::FromSystem() {
    const char* extra = std::getenv("VELOR_EXTRA_PORTS");
    return SysfsPortSource("/sys/class/tty", SplitExtraPorts(extra != nullptr ? extra : ""));
}

namespace {

// serial_core's port type 0 (PORT_UNKNOWN): a placeholder with no UART behind it.
bool IsPlaceholder(const fs::path& entry) {
    std::ifstream type(entry / "type");
    int value = -1;
    return type && (type >> value) && value == 0;
}

// The terminals a folder holds now, links to them included (a dangling link is a device gone).
void AddFolderTerminals(const fs::path& folder, std::vector<std::string>& names) {
    std::error_code ec;
    std::vector<std::string> found;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code statError;
        if (fs::is_character_file(it->path(), statError)) {
            found.push_back(it->path().string());
        }
    }
    names.insert(names.end(), found.begin(), found.end());
}

}  // namespace

bool SysfsPortSource::Collect(std::vector<std::string>& names) {
    std::error_code ec;
    fs::directory_iterator it(m_root, ec);
    if (ec) {
        return false;
    }
    std::vector<std::string> found;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) {
            return false;
        }
        const fs::path entry = it->path();
        std::error_code linkError;
        if (!fs::exists(entry / "device", linkError) || IsPlaceholder(entry)) {
            continue;
        }
        found.push_back(entry.filename().string());
    }
    names.insert(names.end(), found.begin(), found.end());
    for (const auto& extra : m_extraPorts) {
        std::error_code folderError;
        if (fs::is_directory(extra, folderError)) {
            AddFolderTerminals(extra, names);
        } else {
            names.push_back(extra);
        }
    }
    return true;
}

}  // namespace posix

std::unique_ptr<IPortSource> MakePlatformPortSource() {
    return std::make_unique<posix::SysfsPortSource>(posix::SysfsPortSource::FromSystem());
}

}  // namespace velor
