// The doctor's Windows checks: a port's permissions are those of its opening, which the doctor
// tries; no service takes serial adapters for itself.
#include "cli/commands/Doctor.h"

namespace velor::cli {

std::vector<Finding> CheckAccess(const std::string&) {
    return {};
}

std::vector<Finding> CheckServices() {
    return {};
}

}  // namespace velor::cli
