#pragma once
// The folder the tests of untrusted files work in (no sticky bit, so the kernel's own guard for
// links in shared folders stays out of the way), and what they plant and read there.

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "GangHelpers.h"  // ReadAll

namespace velor::testing {

struct WorkFolder {
    WorkFolder() {
        char name[] = "/tmp/velor-outside-XXXXXX";
        path = mkdtemp(name) ? name : "";
        chmod(path.c_str(), 0755);
    }
    ~WorkFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

inline void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A file only its owner may touch, and a link to it planted at `link`.
inline std::string PlantLinkToVictim(const WorkFolder& folder, const std::string& link) {
    const std::string victim = folder / "victim";
    WriteAll(victim, "precious\n");
    chmod(victim.c_str(), 0600);
    std::filesystem::create_symlink(victim, link);
    return victim;
}

// The folder's entries, to see that nothing was left behind.
inline std::size_t EntriesIn(const std::string& path) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path)) {
        ++n;
    }
    return n;
}

}  // namespace velor::testing
