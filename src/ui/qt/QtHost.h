#pragma once
// The host of the desktop program: Qt message boxes, sounds, the event loop's turns. Before every
// box and at the turns (paced, see RenderPace) it renders the window's model, so the window shows
// what the running operation has done so far.

#include <QString>
#include <functional>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "app/RenderPace.h"
#include "ui/qt/Sounds.h"

namespace velor::ui {

class QtHost : public IHost {
  public:
    explicit QtHost(const MainWindowModel& model, bool sound = true);

    // Called before every box and at the event loop's turns, paced (the window's Render).
    void SetRenderer(std::function<void()> render) { m_render = std::move(render); }
    // Called by BringToFront.
    void SetRaiser(std::function<void()> raise) { m_raise = std::move(raise); }

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void MessageBeep(BeepKind kind) override;
    void Tone(int hertz, int milliseconds) override;
    void Sleep(int milliseconds) override;
    void ProcessEvents() override;
    void BringToFront() override;
    std::string LongTimeOfDay() override;

  private:
    void Render();
    QString Title() const;

    const MainWindowModel& m_model;
    Sounds m_sounds;
    std::function<void()> m_render;
    std::function<void()> m_raise;
    RenderPace m_pace;
};

}  // namespace velor::ui
