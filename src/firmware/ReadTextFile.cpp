#include "firmware/ReadTextFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace velor {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::filesystem::path U8Path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

[[noreturn]] void RaiseOpenError(const std::string& path, const std::string& reason) {
    std::error_code ec;
    const std::u8string full = std::filesystem::absolute(U8Path(path), ec).u8string();
    const std::string shown = ec ? path : std::string(full.begin(), full.end());
    throw EFOpenError("Cannot open file \"" + shown + "\". " + reason);
}

[[noreturn]] void RaiseOpenError(const std::string& path, int error) {
    RaiseOpenError(path, std::strerror(error));
}

// Opened without waiting (a FIFO with no writer would hold the open for ever), then only a
// regular file of a size a firmware text can have is kept.
std::FILE* OpenRegularFile(const std::string& path, long long& size) {
    std::error_code ec;
    // A folder is named as such on every system (Windows refuses to open it as access denied).
    if (std::filesystem::is_directory(U8Path(path), ec)) {
        RaiseOpenError(path, EISDIR);
    }
#ifdef _WIN32
    const int fd = _wopen(U8Path(path).wstring().c_str(), _O_RDONLY | _O_BINARY);
    struct _stat64 st {};
    const bool examined = fd >= 0 && _fstat64(fd, &st) == 0;
#else
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    const bool examined = fd >= 0 && fstat(fd, &st) == 0;
#endif
    if (fd < 0) {
        RaiseOpenError(path, errno != 0 ? errno : ENOENT);
    }
    const int error = errno;
    std::string refusal;
    if (!examined) {
        refusal = std::strerror(error);
    } else if ((st.st_mode & S_IFMT) == S_IFDIR) {
        refusal = std::strerror(EISDIR);
    } else if ((st.st_mode & S_IFMT) != S_IFREG) {
        refusal = "It is not a regular file.";
    } else if (st.st_size > kMaxFirmwareTextBytes) {
        refusal = "It is larger than 64 MiB (" + std::to_string(kMaxFirmwareTextBytes) +
                  " bytes), more than the largest firmware image needs.";
    }
#ifdef _WIN32
    std::FILE* file = refusal.empty() ? _fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        _close(fd);
    }
#else
    std::FILE* file =
        refusal.empty() && fcntl(fd, F_SETFL, O_RDONLY) == 0 ? fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        close(fd);
    }
#endif
    if (!refusal.empty()) {
        RaiseOpenError(path, refusal);
    }
    if (file == nullptr) {
        RaiseOpenError(path, errno != 0 ? errno : EIO);
    }
    size = static_cast<long long>(st.st_size);
    return file;
}

}  // namespace

std::string ReadTextFile(const std::string& path) {
    errno = 0;
    long long size = 0;
    std::unique_ptr<std::FILE, FileCloser> file(OpenRegularFile(path, size));
    std::string text;
    text.reserve(static_cast<std::size_t>(size));  // one allocation for a plain file
    char buffer[65536];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        // The file may grow while it is read: the bound holds for what is read, too.
        if (text.size() + got > static_cast<std::size_t>(kMaxFirmwareTextBytes)) {
            RaiseOpenError(path, EFBIG);
        }
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
