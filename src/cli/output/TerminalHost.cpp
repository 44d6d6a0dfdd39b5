#include "cli/output/TerminalHost.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "cli/Commands.h"
#include "cli/output/ControlEscapes.h"
#include "cli/output/TerminalInfo.h"
#include "cli/platform/RegionalTime.h"

namespace velor::cli {

TerminalHost::TerminalHost(const MainWindowModel* model)
    : m_model(model), m_terminal(model != nullptr && IsInteractiveTerminal(stderr)) {}

TerminalHost::~TerminalHost() {
    ClearProgress();
}

void TerminalHost::ShowMessage(const std::string& text) {
    if (m_output != nullptr) {
        m_output->Message(TerminalText(text));
        return;
    }
    ClearProgress();
    std::printf("%s\n", EscapeControls(TerminalText(text)).c_str());
    std::fflush(stdout);
}

void TerminalHost::ShowError(const std::string& text) {
    if (m_output != nullptr) {
        m_output->Error(TerminalText(text));
        return;
    }
    ClearProgress();
    std::fprintf(stderr, "%s\n", EscapeControls(TerminalText(text)).c_str());
}

void TerminalHost::MessageBeep(BeepKind) {}

void TerminalHost::Tone(int, int) {}

void TerminalHost::Sleep(int milliseconds) {
    if (milliseconds > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void TerminalHost::ProcessEvents() {
    if (m_onTurn) {
        m_onTurn();
    }
    DrawProgress();
}

std::string TerminalHost::LongTimeOfDay() {
    return RegionalLongTimeNow();
}

void TerminalHost::DrawProgress() {
    if (m_output != nullptr) {
        m_output->Turn();
        return;
    }
    if (!m_terminal) {
        return;
    }
    const auto& gauge = m_model->ProgressbarReadWrite;
    const auto& bar = m_model->ProgressbarWrite;
    std::string line = gauge.Text() + "  page " + std::to_string(gauge.Progress()) + "/" +
                       std::to_string(gauge.MaxValue()) + "  block " +
                       std::to_string(bar.Position) + "/" + std::to_string(bar.Max) + "  " +
                       m_model->Label3;
    if (line == m_lastProgress && m_progressShown) {
        return;
    }
    m_lastProgress = line;
    std::fprintf(stderr, "%s%s", kRewriteLine, line.c_str());
    std::fflush(stderr);
    m_progressShown = true;
}

void TerminalHost::ClearProgress() {
    if (m_progressShown) {
        std::fputs(kRewriteLine, stderr);
        std::fflush(stderr);
        m_progressShown = false;
    }
}

}  // namespace velor::cli
