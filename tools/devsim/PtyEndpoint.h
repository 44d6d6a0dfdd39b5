#pragma once
// The simulator's terminal: a pty whose master end the device holds and whose slave end, named by
// its path (and by an optional link), the host opens.

#include <memory>
#include <string>

#include "SimIo.h"

namespace devsim {

class PtyEndpoint {
  public:
    // Null, with error set, when the pty or the link cannot be made.
    static std::unique_ptr<PtyEndpoint> Open(const std::string& link, std::string& error);
    ~PtyEndpoint();  // removes the link
    PtyEndpoint(const PtyEndpoint&) = delete;
    PtyEndpoint& operator=(const PtyEndpoint&) = delete;

    int Master() const { return m_master.get(); }  // non-blocking
    const std::string& SlavePath() const { return m_slavePath; }

  private:
    PtyEndpoint(int master, std::string slavePath) : m_master(master), m_slavePath(slavePath) {}

    Fd m_master;
    std::string m_slavePath;
    std::string m_link;
};

// SIGTERM and SIGINT blocked and delivered as input of the returned descriptor instead, so that a
// busy line cannot starve them; -1 inside on failure.
Fd StopSignalsAsInput();

}  // namespace devsim
