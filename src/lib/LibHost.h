#pragma once
// The host of a library call: no boxes, no sounds. What the boxes would say is kept for the
// caller (the last message, the first error), sleeps sleep, and every event turn serves what
// the session's port handed over.

#include <functional>
#include <string>

#include "app/Host.h"

namespace velor::lib {

class LibHost : public IHost {
  public:
    void SetTurnHandler(std::function<void()> handler) { m_onTurn = std::move(handler); }

    void ShowMessage(const std::string& text) override { m_lastMessage = text; }
    void ShowError(const std::string& text) override;
    void MessageBeep(BeepKind) override {}
    void Tone(int, int) override {}
    void Sleep(int milliseconds) override;
    void ProcessEvents() override;
    void BringToFront() override {}
    // 24-hour "HH:MM:SS" of the local time: a library has no regional settings of its own.
    std::string LongTimeOfDay() override;

    const std::string& LastMessage() const { return m_lastMessage; }
    const std::string& FirstError() const { return m_firstError; }

  private:
    std::function<void()> m_onTurn;
    std::string m_lastMessage;
    std::string m_firstError;
};

}  // namespace velor::lib
