#pragma once
// When a window shows its model again: at the turns of the message loop an operation hands it
// (paced, see RenderPace), before every message or error box, and after every handler
// (RunHandler's caller). This host wraps the window's own host and renders at the first two;
// everything else is passed through.

#include <functional>

#include "app/Host.h"
#include "app/RenderPace.h"

namespace velor {

class RenderingHost final : public IHost {
  public:
    RenderingHost(IHost& inner, std::function<void()> render,
                  std::chrono::milliseconds renderInterval = kRenderInterval)
        : m_inner(inner), m_render(std::move(render)), m_pace(renderInterval) {}

    void ShowMessage(const std::string& text) override {
        m_render();
        m_inner.ShowMessage(text);
    }
    void ShowError(const std::string& text) override {
        m_render();
        m_inner.ShowError(text);
    }
    void ProcessEvents() override {
        if (m_pace.TurnRenders()) {
            m_render();
        }
        m_inner.ProcessEvents();
    }
    void MessageBeep(BeepKind kind) override { m_inner.MessageBeep(kind); }
    void Tone(int hertz, int milliseconds) override { m_inner.Tone(hertz, milliseconds); }
    void Sleep(int milliseconds) override { m_inner.Sleep(milliseconds); }
    void BringToFront() override { m_inner.BringToFront(); }
    std::string LongTimeOfDay() override { return m_inner.LongTimeOfDay(); }

  private:
    IHost& m_inner;
    std::function<void()> m_render;
    RenderPace m_pace;
};

}  // namespace velor
