#pragma once
// A folder of the test's own under /tmp, removed with what it holds at the end.

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace velor::testing {

struct TempDir {
    TempDir() {
        char name[] = "/tmp/velor-station-XXXXXX";
        path = mkdtemp(name) ? name : "";
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path;
};

}  // namespace velor::testing
