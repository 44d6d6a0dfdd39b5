#include "trace/TraceStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <vector>

#include "trace/TraceFormat.h"

namespace velor {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPortPlaceholder = "{port}";

class FileStore : public ITraceStore {
  public:
    explicit FileStore(fs::path file) : m_file(std::move(file)) {}
    fs::path PathFor(const OperationStarted&, std::string&) override { return m_file; }

  private:
    fs::path m_file;
};

// 20261209-235012-123: sortable, unique enough for one port's operations.
std::string FileTime() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &utc);
    char withMs[40];
    std::snprintf(withMs, sizeof withMs, "%s-%03d", text, static_cast<int>(ms));
    return withMs;
}

class FolderStore : public ITraceStore {
  public:
    FolderStore(fs::path folder, int keepCount, std::uintmax_t keepBytes)
        : m_folder(std::move(folder)), m_keepCount(keepCount), m_keepBytes(keepBytes) {}

    fs::path PathFor(const OperationStarted& started, std::string& problem) override {
        std::error_code error;
        fs::create_directories(m_folder, error);
        if (error || !fs::is_directory(m_folder, error)) {
            problem = "cannot make the folder " + m_folder.string() +
                      (error ? ": " + error.message() : "");
            return {};
        }
        std::string name =
            FileTime() + "-" + PortFileName(started.Port) + "-" + OperationName(started.Operation);
        // Two operations in one millisecond on one port keep both.
        fs::path path = m_folder / (name + ".jsonl");
        for (int n = 2; fs::exists(path, error) && n < 100; ++n) {
            path = m_folder / (name + "-" + std::to_string(n) + ".jsonl");
        }
        return path;
    }

    void Closed(const TraceResult&) override {
        if (m_keepCount > 0) {
            Prune();
        }
    }

  private:
    // Oldest first by name (their names start with the time); only our own *.jsonl files.
    void Prune() {
        std::error_code error;
        std::vector<std::pair<fs::path, std::uintmax_t>> traces;
        for (fs::directory_iterator it(m_folder, error), end; !error && it != end;
             it.increment(error)) {
            if (it->is_regular_file(error) && !it->is_symlink(error) &&
                it->path().extension() == ".jsonl") {
                traces.emplace_back(it->path(), it->file_size(error));
            }
        }
        std::sort(traces.begin(), traces.end());
        std::uintmax_t total = 0;
        for (const auto& trace : traces) {
            total += trace.second;
        }
        std::size_t count = traces.size();
        for (const auto& [path, size] : traces) {
            if (count <= static_cast<std::size_t>(m_keepCount) && total <= m_keepBytes) {
                break;
            }
            fs::remove(path, error);
            --count;
            total -= size;
        }
    }

    fs::path m_folder;
    int m_keepCount;
    std::uintmax_t m_keepBytes;
};

class NoStore : public ITraceStore {
  public:
    explicit NoStore(std::string why) : m_why(std::move(why)) {}
    fs::path PathFor(const OperationStarted&, std::string& problem) override {
        problem = m_why;
        return {};
    }

  private:
    std::string m_why;
};

}  // namespace

std::unique_ptr<ITraceStore> MakeFileStore(fs::path file) {
    return std::make_unique<FileStore>(std::move(file));
}

std::unique_ptr<ITraceStore> MakeFolderStore(fs::path folder, int keepCount,
                                             std::uintmax_t keepBytes) {
    return std::make_unique<FolderStore>(std::move(folder), keepCount, keepBytes);
}

bool NamesFolder(const std::string& value) {
    if (value.empty()) {
        return false;
    }
    const char last = value.back();
    std::error_code error;
    return last == '/' || last == '\\' || fs::is_directory(value, error);
}

std::string PortFileName(const std::string& port) {
    std::string name = fs::path(port).filename().string();
    for (char& c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        if (!plain) {
            c = '_';
        }
    }
    return name.empty() || name == "." || name == ".." ? "port" : name;
}

std::unique_ptr<ITraceStore> MakePortStore(const std::string& patternOrFolder,
                                           const std::string& port, std::string& problem) {
    if (NamesFolder(patternOrFolder)) {
        return MakeFolderStore(patternOrFolder);
    }
    const std::size_t at = patternOrFolder.find(kPortPlaceholder);
    if (at == std::string::npos) {
        problem =
            "a trace of several ports needs a folder or a name with {port}: " + patternOrFolder;
        return std::make_unique<NoStore>(problem);
    }
    std::string path = patternOrFolder;
    path.replace(at, std::char_traits<char>::length(kPortPlaceholder), PortFileName(port));
    return MakeFileStore(path);
}

}  // namespace velor
