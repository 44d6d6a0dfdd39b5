#pragma once
// Where records wait for an absent PostgreSQL server: one SQLite file per user and server that
// outlives the process. Linux: $XDG_STATE_HOME/velor-flash/spool (else ~/.local/state/...);
// Windows: %LOCALAPPDATA%\velor-flash\spool. VELOR_SPOOL_DIR names another folder.

#include <optional>
#include <string>

namespace velor::cli {

// The spool file for the URL (named by a digest of the URL without its password), its folder
// created readable by the user only; nullopt with error set when there is no place for it.
std::optional<std::string> SpoolFileFor(const std::string& url, std::string& error);

}  // namespace velor::cli
