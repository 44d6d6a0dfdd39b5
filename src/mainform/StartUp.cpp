#include "mainform/StartUp.h"

#include "app/MainWindowModel.h"

namespace velor {

void StartDesktopProgram(IDesktopProgram& program) {
    program.SetApplicationTitle(kApplicationTitle);
    program.CreateMainForm();
    program.RunFormCreate();
    program.ShowMainFormCentred();
    program.CreateFormHelp();
}

int RunDesktopProgram(IDesktopProgram& program) {
    StartDesktopProgram(program);
    return program.RunMessageLoop();
}

}  // namespace velor
