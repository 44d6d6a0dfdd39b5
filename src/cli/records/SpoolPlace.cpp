#include "cli/records/SpoolPlace.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli/records/ConnectionUrl.h"

namespace velor::cli {

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// FNV-1a, 64 bits: a stable file name, not a secret.
std::string Digest(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

fs::path SpoolFolder() {
    if (const std::string dir = Env("VELOR_SPOOL_DIR"); !dir.empty()) {
        return dir;
    }
#ifdef _WIN32
    const std::string base = Env("LOCALAPPDATA");
    return base.empty() ? fs::path() : fs::path(base) / "velor-flash" / "spool";
#else
    if (const std::string state = Env("XDG_STATE_HOME"); !state.empty()) {
        return fs::path(state) / "velor-flash" / "spool";
    }
    const std::string home = Env("HOME");
    return home.empty() ? fs::path()
                        : fs::path(home) / ".local" / "state" / "velor-flash" / "spool";
#endif
}

}  // namespace

std::optional<std::string> SpoolFileFor(const std::string& url, std::string& error) {
    const fs::path folder = SpoolFolder();
    if (folder.empty()) {
        error = "no place for the record spool (set HOME, LOCALAPPDATA or VELOR_SPOOL_DIR)";
        return std::nullopt;
    }
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        error = "cannot make the record spool folder '" + folder.string() + "'";
        return std::nullopt;
    }
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    return (folder / ("spool-" + Digest(RedactedUrl(url)) + ".db")).string();
}

}  // namespace velor::cli
