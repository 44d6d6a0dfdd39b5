#pragma once
// The host of one device session among several: nothing goes to the terminal from the session's
// thread. Messages and error texts are kept for the session's report, and every event turn runs
// the session's own turn handler (its port's hand-overs, its progress).

#include <functional>
#include <string>
#include <vector>

#include "app/Host.h"

namespace velor::cli {

class SessionHost : public IHost {
  public:
    void SetTurnHandler(std::function<void()> handler) { m_onTurn = std::move(handler); }

    void ShowMessage(const std::string& text) override { m_messages.push_back(text); }
    void ShowError(const std::string& text) override { m_errors.push_back(text); }
    void MessageBeep(BeepKind) override {}
    void Tone(int, int) override {}
    void Sleep(int milliseconds) override;
    void ProcessEvents() override;
    void BringToFront() override {}
    std::string LongTimeOfDay() override;

    const std::vector<std::string>& Messages() const { return m_messages; }
    const std::vector<std::string>& Errors() const { return m_errors; }

  private:
    std::function<void()> m_onTurn;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_errors;
};

// A message of the system on one line: its lines trimmed of blanks, the empty ones dropped,
// joined by one blank.
std::string OneLine(const std::string& text);

}  // namespace velor::cli
