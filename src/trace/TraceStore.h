#pragma once
// Where the trace of each operation goes: one named file, a file per port from a pattern, or a
// folder that keeps the newest few. All of it runs on the recorder's writer thread, never on the
// port's path.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "protocol/SessionEvents.h"

namespace velor {

struct TraceResult {
    std::string path;     // empty: no file was made
    bool whole = false;   // every event reached the file and it was closed cleanly
    std::string problem;  // why not, for a person; empty when whole
};

class ITraceStore {
  public:
    virtual ~ITraceStore() = default;
    // The file for the operation starting now; empty for none (then why in problem).
    virtual std::filesystem::path PathFor(const OperationStarted& started,
                                          std::string& problem) = 0;
    // The trace of an operation is closed (whole or not).
    virtual void Closed(const TraceResult& /*result*/) {}
};

// FILE as given: every operation overwrites it.
std::unique_ptr<ITraceStore> MakeFileStore(std::filesystem::path file);

// A folder (made at the first operation) holding a file per operation named by its time, port
// and operation; keepCount > 0 keeps only the newest keepCount traces and at most keepBytes.
std::unique_ptr<ITraceStore> MakeFolderStore(std::filesystem::path folder, int keepCount = 0,
                                             std::uintmax_t keepBytes = 0);

// For a gang: a pattern with "{port}" becomes one file per port; a folder (an existing one, or a
// name ending in a separator) gets files named by port and time. Anything else is one file,
// which only a single port may use: an empty store with the reason in problem.
std::unique_ptr<ITraceStore> MakePortStore(const std::string& patternOrFolder,
                                           const std::string& port, std::string& problem);

// Whether a --trace value names a folder rather than one file.
bool NamesFolder(const std::string& value);

// The part of a port's name fit for a file name: /dev/ttyUSB0 -> ttyUSB0, COM3 -> COM3.
std::string PortFileName(const std::string& port);

}  // namespace velor
