#include "cli/output/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <random>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace velor::cli {

namespace {

constexpr const char* kLink = "it is a link, not a regular file";
constexpr const char* kNotRegular = "it is not a regular file";

#ifdef _WIN32

std::wstring Wide(const std::string& utf8) {
    std::wstring out(static_cast<std::size_t>(utf8.size()), L'\0');
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      out.data(), static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return out;
}

// Nothing at path, or a plain file: no reparse point (link, junction), no folder, no device.
const char* RefusalAt(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return nullptr;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return kLink;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? kNotRegular : nullptr;
}

int OpenNew(const std::string& path) {
    return _wopen(Wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
}

bool RenameOver(const std::string& from, const std::string& to) {
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void Remove(const std::string& path) {
    _wunlink(Wide(path).c_str());
}

bool ForceToDisk(std::FILE* file) {
    return _commit(_fileno(file)) == 0;
}

std::FILE* FdOpen(int fd, const char* mode) {
    return _fdopen(fd, mode);
}

void CloseFd(int fd) {
    _close(fd);
}

#else

const char* RefusalAt(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) {
        return nullptr;
    }
    if (S_ISLNK(st.st_mode)) {
        return kLink;
    }
    return S_ISREG(st.st_mode) ? nullptr : kNotRegular;
}

int OpenNew(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

bool RenameOver(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void Remove(const std::string& path) {
    unlink(path.c_str());
}

bool ForceToDisk(std::FILE* file) {
    return fsync(fileno(file)) == 0;
}

std::FILE* FdOpen(int fd, const char* mode) {
    return fdopen(fd, mode);
}

void CloseFd(int fd) {
    close(fd);
}

#endif

}  // namespace

OutputFile OpenForAppending(const std::string& path, std::string& error) {
#ifdef _WIN32
    if (const char* refusal = RefusalAt(path)) {
        error = refusal;
        return nullptr;
    }
    const int fd = _wopen(Wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_APPEND | _O_BINARY, 0666);
#else
    // Not blocking: a FIFO without a reader answers at once instead of holding the open.
    const int fd = open(path.c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == ELOOP || errno == ENXIO)) {
        error = errno == ELOOP ? kLink : kNotRegular;
        return nullptr;
    }
#endif
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
#ifndef _WIN32
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        CloseFd(fd);
        error = kNotRegular;
        return nullptr;
    }
#endif
    OutputFile file(FdOpen(fd, "ab"));
    if (!file) {
        error = std::strerror(errno);
        CloseFd(fd);
    }
    return file;
}

bool CloseChecked(OutputFile file, std::string& error) {
    const bool closed = std::fclose(file.release()) == 0;
    if (!closed) {
        error = std::strerror(errno);
    }
    return closed;
}

bool ReplaceWholeFile(const std::string& path, const std::function<bool(std::FILE*)>& write,
                      std::string& error) {
    if (const char* refusal = RefusalAt(path)) {
        error = refusal;
        return false;
    }
    std::random_device random;
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%08x~", static_cast<unsigned>(random()));
        temp = path + suffix;
        fd = OpenNew(temp);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    OutputFile file(FdOpen(fd, "wb"));
    if (!file) {
        error = std::strerror(errno);
        CloseFd(fd);
        Remove(temp);
        return false;
    }
    errno = 0;
    bool done = write(file.get()) && std::fflush(file.get()) == 0 && ForceToDisk(file.get());
    if (!done) {
        error = std::strerror(errno != 0 ? errno : EIO);
    }
    std::string closeError;
    if (!CloseChecked(std::move(file), closeError) && done) {
        done = false;
        error = closeError;
    }
    if (done && !RenameOver(temp, path)) {
        done = false;
        error = std::strerror(errno);
    }
    if (!done) {
        Remove(temp);
    }
    return done;
}

}  // namespace velor::cli
