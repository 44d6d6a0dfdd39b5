#pragma once
// A real pseudo-terminal pair: the test drives the master side, the port opens the slave path.

#include <chrono>
#include <string>

namespace velor::testing {

class PtyPair {
  public:
    PtyPair();  // fails the test when no pty can be had
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }
    int Slave() const { return m_slave; }

    // Writes all of bytes to the master (the device's side).
    void Send(const std::string& bytes);
    // The device goes away: the slave side sees a hang-up.
    void CloseMaster();
    // What the master received within the time given.
    std::string Receive(std::size_t atMost, std::chrono::milliseconds within);
    // The slave's rate and control flags, as the kernel holds them.
    unsigned SlaveSpeed() const;
    unsigned SlaveCflag() const;
    unsigned SlaveLflag() const;

  private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_slavePath;
};

}  // namespace velor::testing
