#pragma once
// Starting other programs through the desktop's shell, and the About window.

#include <functional>

#include "mainform/Shell.h"

namespace velor::ui {

class QtShell : public IShell {
  public:
    // Shows the About window; set once it exists.
    void SetAboutShower(std::function<void()> show) { m_showAbout = std::move(show); }

    void OpenDeviceManager() override;
    void OpenWebAddress(const std::string& address) override;
    void ShowAbout() override;

  private:
    std::function<void()> m_showAbout;
};

}  // namespace velor::ui
