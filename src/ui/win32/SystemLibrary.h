#pragma once
// A system DLL that the program needs only for an occasional action (the shell, the file
// dialog), loaded at its first use instead of at start-up, and freed with its owner.

#include <windows.h>

namespace velor::win32 {

class TSystemLibrary {
  public:
    explicit TSystemLibrary(const wchar_t* name) : m_name(name) {}
    ~TSystemLibrary() {
        if (m_module != nullptr) {
            FreeLibrary(m_module);
        }
    }
    TSystemLibrary(const TSystemLibrary&) = delete;
    TSystemLibrary& operator=(const TSystemLibrary&) = delete;

    // The function's address with its type, or null when the library or function is missing.
    template <typename Function>
    Function* Find(const char* function) {
        if (m_module == nullptr) {
            m_module = LoadLibraryExW(m_name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
        if (m_module == nullptr) {
            return nullptr;
        }
        return reinterpret_cast<Function*>(
            reinterpret_cast<void*>(GetProcAddress(m_module, function)));
    }

  private:
    const wchar_t* m_name;
    HMODULE m_module = nullptr;
};

}  // namespace velor::win32
