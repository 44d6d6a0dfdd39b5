#pragma once
// The host of one device session among several: nothing goes to the terminal from the session's
// thread. The boxes show nothing (the session's events tell its report what they said), and every
// event turn runs the session's own turn handler (its port's hand-overs, its progress). With an
// output (a device's --json events, its log) the boxes and turns go there as well.

#include <functional>
#include <string>

#include "app/Host.h"
#include "cli/output/TerminalOutput.h"

namespace velor::cli {

class SessionHost : public IHost {
  public:
    void SetTurnHandler(std::function<void()> handler) { m_onTurn = std::move(handler); }
    void SetOutput(ITerminalOutput* output) { m_output = output; }

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void MessageBeep(BeepKind) override {}
    void Tone(int, int) override {}
    void Sleep(int milliseconds) override;
    void ProcessEvents() override;
    void BringToFront() override {}
    std::string LongTimeOfDay() override;

  private:
    std::function<void()> m_onTurn;
    ITerminalOutput* m_output = nullptr;
};

// A message of the system on one line: its lines trimmed of blanks, the empty ones dropped,
// joined by one blank.
std::string OneLine(const std::string& text);

}  // namespace velor::cli
