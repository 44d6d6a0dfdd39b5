// velor-bootloader.exe: the desktop program on Windows. Runs until the main window is closed.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "app/DllSearch.h"
#include "mainform/StartUp.h"
#include "ui/win32/DesktopProgram.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    velor::LimitDllSearchToSystem32();
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    velor::win32::TDesktopProgram program;
    return velor::RunDesktopProgram(program);
}
