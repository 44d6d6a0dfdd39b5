#pragma once
// The host of velor-flash: message boxes become lines on stdout, error boxes lines on stderr, and
// Ctrl+C becomes the stop key. On a terminal, a progress line follows the model.

#include <functional>
#include <string>

#include "app/Host.h"
#include "app/MainWindowModel.h"
#include "cli/TerminalOutput.h"

namespace velor::cli {

class TerminalHost : public IHost {
  public:
    // model may be null: then no progress line is drawn.
    explicit TerminalHost(const MainWindowModel* model = nullptr);
    ~TerminalHost() override;
    TerminalHost(const TerminalHost&) = delete;
    TerminalHost& operator=(const TerminalHost&) = delete;

    // Runs inside ProcessEvents once for every Ctrl+C pressed since the last turn.
    void SetInterruptHandler(std::function<void()> handler) { m_onInterrupt = std::move(handler); }
    // Runs at every turn of ProcessEvents (e.g. serving a port's main-thread hand-overs).
    void SetTurnHandler(std::function<void()> handler) { m_onTurn = std::move(handler); }

    // Installs both handlers for a scope: they refer to objects that die with it.
    class TurnHooks {
      public:
        TurnHooks(TerminalHost& host, std::function<void()> onInterrupt,
                  std::function<void()> onTurn)
            : m_host(host) {
            m_host.SetInterruptHandler(std::move(onInterrupt));
            m_host.SetTurnHandler(std::move(onTurn));
        }
        ~TurnHooks() {
            m_host.SetInterruptHandler(nullptr);
            m_host.SetTurnHandler(nullptr);
        }
        TurnHooks(const TurnHooks&) = delete;
        TurnHooks& operator=(const TurnHooks&) = delete;

      private:
        TerminalHost& m_host;
    };
    // Sends the texts and the turns there instead of printing them plainly; null: plainly.
    void SetOutput(ITerminalOutput* output) { m_output = output; }

    // Whether Ctrl+C was pressed at least once.
    bool Interrupted() const;

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
    std::function<void()> m_onInterrupt;
    std::function<void()> m_onTurn;
    bool m_progressShown = false;
    bool m_terminal = false;
    std::string m_lastProgress;
    int m_handledInterrupts = 0;
};

// The CR LF of the system's texts as plain line feeds, for a terminal.
std::string TerminalText(const std::string& text);

}  // namespace velor::cli
