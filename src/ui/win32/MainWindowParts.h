#pragma once
// What the main window's files share: its window style and the panels drawn on its client area.

#include <windows.h>

namespace velor::win32::mainwindow {

inline constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// The form's panels, drawn on the client area; sPanel3 over the right end of sPanel2.
inline constexpr RECT kPanels[] = {{7, 8, 314, 73}, {8, 224, 265, 81}, {248, 200, 41, 153}};

}  // namespace velor::win32::mainwindow
