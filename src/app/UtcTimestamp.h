#pragma once
// The moment records and traces are stamped with: UTC, to the second, "2026-12-10T02:44:12Z", so
// that stations in different zones sort together.

#include <string>

namespace velor {

std::string UtcTimestamp();

}  // namespace velor
