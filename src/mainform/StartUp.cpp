#include "mainform/StartUp.h"

#include "app/MainWindowModel.h"

namespace velor {

int RunDesktopProgram(IDesktopProgram& program) {
    program.SetApplicationTitle(kApplicationTitle);
    program.CreateMainForm();
    program.RunFormCreate();
    program.ShowMainFormCentred();
    program.CreateFormHelp();
    return program.RunMessageLoop();
}

}  // namespace velor
