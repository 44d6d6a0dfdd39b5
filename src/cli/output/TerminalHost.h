#pragma once
// The host of velor-flash: message boxes become lines on stdout, error boxes lines on stderr. On a
// terminal, a progress line follows the model. Ctrl+C is main()'s (cli/platform/Interrupts.h).

#include <functional>
#include <string>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "cli/output/ControlEscapes.h"
#include "cli/output/TerminalOutput.h"

namespace velor::cli {

class TerminalHost : public IHost {
  public:
    // model may be null: then no progress line is drawn.
    explicit TerminalHost(const MainWindowModel* model = nullptr);
    ~TerminalHost() override;
    TerminalHost(const TerminalHost&) = delete;
    TerminalHost& operator=(const TerminalHost&) = delete;

    // Runs at every turn of ProcessEvents (e.g. serving a port's main-thread hand-overs).
    void SetTurnHandler(std::function<void()> handler) { m_onTurn = std::move(handler); }

    // Installs the turn handler for a scope: it refers to objects that die with it.
    class TurnHooks {
      public:
        TurnHooks(TerminalHost& host, std::function<void()> onTurn) : m_host(host) {
            m_host.SetTurnHandler(std::move(onTurn));
        }
        ~TurnHooks() { m_host.SetTurnHandler(nullptr); }
        TurnHooks(const TurnHooks&) = delete;
        TurnHooks& operator=(const TurnHooks&) = delete;

      private:
        TerminalHost& m_host;
    };
    // Sends the texts and the turns there instead of printing them plainly; null: plainly.
    void SetOutput(ITerminalOutput* output) { m_output = output; }

    void ShowMessage(const std::string& text) override;
    void ShowError(const std::string& text) override;
    void MessageBeep(BeepKind kind) override;
    void Tone(int hertz, int milliseconds) override;
    void Sleep(int milliseconds) override;
    void ProcessEvents() override;
    void BringToFront() override {}
    std::string LongTimeOfDay() override;

  private:
    void DrawProgress();
    void ClearProgress();

    const MainWindowModel* m_model;
    ITerminalOutput* m_output = nullptr;
    std::function<void()> m_onTurn;
    bool m_progressShown = false;
    bool m_terminal = false;
    std::string m_lastProgress;
};

}  // namespace velor::cli
