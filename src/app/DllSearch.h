#pragma once
// The portable programs run from Downloads folders and USB sticks, where a DLL planted beside the
// exe would be found first: each entry point limits the search to System32 before it loads any.

#ifdef _WIN32
#include <windows.h>

namespace velor {

inline void LimitDllSearchToSystem32() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace velor
#endif
