#pragma once
// The USB serial number of the adapter behind a port, for the production record.

#include <string>

namespace velor::cli {

// Empty where it is not known. Seam: the port list's USB descriptions (the serial number read
// from sysfs on Linux) belong here once they are available to velor-flash.
inline std::string AdapterSerialNumber(const std::string& /*port*/) {
    return "";
}

}  // namespace velor::cli
