#include "firmware/ReadTextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace velor {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::filesystem::path U8Path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

[[noreturn]] void RaiseOpenError(const std::string& path, int error) {
    std::error_code ec;
    const std::u8string full = std::filesystem::absolute(U8Path(path), ec).u8string();
    const std::string shown = ec ? path : std::string(full.begin(), full.end());
    throw EFOpenError("Cannot open file \"" + shown + "\". " + std::strerror(error));
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
    std::error_code ec;
    // fopen opens a folder on Linux and fails only at the first read; name the reason up front.
    if (std::filesystem::is_directory(U8Path(path), ec)) {
        RaiseOpenError(path, EISDIR);
    }
    errno = 0;
#ifdef _WIN32
    std::unique_ptr<std::FILE, FileCloser> file(_wfopen(U8Path(path).wstring().c_str(), L"rb"));
#else
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
#endif
    if (!file) {
        RaiseOpenError(path, errno != 0 ? errno : ENOENT);
    }
    std::string text;
    std::error_code sizeError;
    const auto size = std::filesystem::file_size(U8Path(path), sizeError);
    if (!sizeError) {
        text.reserve(static_cast<std::size_t>(size));  // one allocation for a plain file
    }
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        text.append(buffer, got);
        if (got < sizeof buffer) {
            if (std::ferror(file.get())) {
                RaiseOpenError(path, errno != 0 ? errno : EIO);
            }
            break;
        }
    }
    return text;
}

}  // namespace velor
