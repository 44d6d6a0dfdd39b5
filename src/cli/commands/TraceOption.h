#pragma once
// --trace of detect, write, reset, a gang and the station: the recorder it asks for and what a
// run says about the trace it left.

#include <cstdio>
#include <memory>
#include <string>

#include "firmware/FirmwareImage.h"
#include "trace/TraceRecorder.h"

namespace CLI {
class App;
}

namespace velor::cli {

// --trace FILE of one device, of several (gang) or of the station.
enum class TraceUse { Device, Gang, Station };
void AddTraceOption(CLI::App& app, std::string& trace, TraceUse use);

// A recorder for the trace that value (a file, a folder or a {port} pattern) asks for on port;
// image: the front end's current image.
std::unique_ptr<TraceRecorder> MakeTraceRecorder(const std::string& value, const std::string& port,
                                                 const std::shared_ptr<const FirmwareImage>* image);

// Whether a --trace value serves several ports (empty, a folder or a name with {port}); false
// with the reason in error.
bool TraceFitsPorts(const std::string& value, std::string& error);

// A trace not written whole is said on out (the run itself goes on as it went); a whole one is
// named when named is set.
void TellTrace(const TraceResult& result, bool named, std::FILE* out);

}  // namespace velor::cli
