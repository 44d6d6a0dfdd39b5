#pragma once
// `velor-flash trace show`: what a trace tells, for a technician and a developer alike, as text
// (outside text escaped for the terminal) or as one JSON object for tools.

#include <string>

#include "trace/TraceReader.h"

namespace velor::cli {

std::string TraceSummaryText(const TraceContent& trace);
std::string TraceSummaryJson(const TraceContent& trace);

// "FILE:LINE: WHAT" (no line for a problem of the whole file).
std::string TraceProblemText(const std::string& path, const TraceProblem& problem);

}  // namespace velor::cli
