#pragma once
// What the device threads tell the terminal thread: one status line per port, and finished
// lines to print once. Only the terminal thread writes to the terminal.

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace velor::cli {

class StatusBoard {
  public:
    explicit StatusBoard(std::size_t slots) : m_lines(slots) {}

    void SetLine(std::size_t slot, std::string line) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_lines[slot] = std::move(line);
    }
    void Announce(std::string line) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_announcements.push_back(std::move(line));
    }
    std::vector<std::string> Lines() const {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_lines;
    }
    std::vector<std::string> TakeAnnouncements() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> taken(m_announcements.begin(), m_announcements.end());
        m_announcements.clear();
        return taken;
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_lines;
    std::deque<std::string> m_announcements;
};

}  // namespace velor::cli
