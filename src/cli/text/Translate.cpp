#include "cli/text/Translate.h"

namespace velor::cli {

const char* Tr(const char* english) { return english; }

}  // namespace velor::cli
