#include "mainform/FormEvents.h"

namespace velor {

namespace {
void RepaintAndProcess(IFormSurface& surface, IHost& host) {
    if (!surface.Shown()) {
        return;
    }
    surface.RepaintNow();
    host.ProcessEvents();
}
}  // namespace

void FormActivate(IFormSurface& surface, IHost& host) {
    RepaintAndProcess(surface, host);
}

void FormResize(IFormSurface& surface, IHost& host) {
    RepaintAndProcess(surface, host);
}

}  // namespace velor
