#pragma once
// The text of the exception being handled, for a handler that must report it and go on.

#include <exception>
#include <string>

namespace velor {

// Call inside a catch block only.
inline std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown exception";
    }
}

}  // namespace velor
