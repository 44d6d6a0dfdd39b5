#pragma once
// The window's side effects outside the flashing operations: starting other programs through the
// shell and showing the About window. The desktop program implements it with Qt, tests with a
// recorder. Every call returns at once; a launch that fails shows nothing.

#include <string>

namespace velor {

class IShell {
  public:
    virtual ~IShell() = default;

    // The operating system's view of its serial devices (the device manager on Windows).
    virtual void OpenDeviceManager() = 0;
    // A web address, scheme included, in the default browser.
    virtual void OpenWebAddress(const std::string& address) = 0;
    // Shows the About window without blocking; brings it to the front when already shown.
    virtual void ShowAbout() = 0;
};

}  // namespace velor
