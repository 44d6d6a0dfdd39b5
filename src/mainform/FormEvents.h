#pragma once
// FormActivate and FormResize, the same two steps in every front end: repaint the whole window at
// once, then let the window system process what is pending (handlers may run nested there).

#include "app/Host.h"

namespace velor {

class IFormSurface {
  public:
    virtual ~IFormSurface() = default;
    // Created (FormCreate has run) and shown: before that nothing is painted or processed.
    virtual bool Shown() const = 0;
    virtual void RepaintNow() = 0;
};

void FormActivate(IFormSurface& surface, IHost& host);
void FormResize(IFormSurface& surface, IHost& host);

}  // namespace velor
