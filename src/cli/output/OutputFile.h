#pragma once
// Files velor-flash writes (the attempt log, the station's record, the image) at paths that may
// lie in a folder others can write to: never through a link someone planted there, never into a
// FIFO or a device, and an image replaced whole or not at all.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace velor::cli {

struct OutputFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OutputFile = std::unique_ptr<std::FILE, OutputFileCloser>;

// Opens the regular file at path for appending, creating it when missing (as the umask allows).
// A link, a FIFO, a device or a folder is refused without being opened for writing or waited on.
// Null, with the reason in error, when refused or not opened.
OutputFile OpenForAppending(const std::string& path, std::string& error);

// Writes a new file beside path with write(), then renames it over path: path holds the old file
// or the whole new one, never a part. Refuses a link or anything but a regular file at path.
// False, with the reason in error, when refused or when any step failed (nothing is then left
// beside path). Not named ReplaceFile: windows.h makes that a macro.
bool ReplaceWholeFile(const std::string& path, const std::function<bool(std::FILE*)>& write,
                      std::string& error);

// Whether fclose reported every write through the file as done, with the reason in error.
bool CloseChecked(OutputFile file, std::string& error);

}  // namespace velor::cli
