#pragma once
// The program entry's order, the same for every front end: the application title, the main
// window built hidden, its FormCreate (an error shown, the start-up going on), the window shown
// centred, the About window created hidden, then the message loop until the main window closes.

#include <string>

namespace velor {

class IDesktopProgram {
  public:
    virtual ~IDesktopProgram() = default;
    virtual void SetApplicationTitle(const std::string& title) = 0;
    virtual void CreateMainForm() = 0;
    // Runs FormCreate through the error wrapper: it returns also after an error box.
    virtual void RunFormCreate() = 0;
    virtual void ShowMainFormCentred() = 0;
    virtual void CreateFormHelp() = 0;
    // Returns the program's exit code once the main window is closed.
    virtual int RunMessageLoop() = 0;
};

// The start-up up to the message loop (for a front end whose caller runs the loop).
void StartDesktopProgram(IDesktopProgram& program);
// The start-up, then the message loop: the program's exit code.
int RunDesktopProgram(IDesktopProgram& program);

}  // namespace velor
