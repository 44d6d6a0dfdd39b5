#pragma once
// The five timeouts of a port, in milliseconds, in the order of the platform's timeouts block. A
// port owns one and re-applies it to the device whenever a value changes.

#include <cstdint>

namespace velor {

class TBComPort;

class TComTimeouts {
  public:
    // A free-standing set of values, bound to no port (for handing to TBComPort::SetTimeouts).
    TComTimeouts() = default;
    explicit TComTimeouts(TBComPort* owner) : m_owner(owner) {}
    // A free-standing set with all five values the same (the main window's port has all 1).
    static TComTimeouts Uniform(int32_t milliseconds) {
        TComTimeouts t;
        t.m_readInterval = t.m_readTotalMultiplier = t.m_readTotalConstant = milliseconds;
        t.m_writeTotalMultiplier = t.m_writeTotalConstant = milliseconds;
        return t;
    }
    // Copies carry the five values, never the owner.
    TComTimeouts(const TComTimeouts& other) { CopyValues(other); }
    TComTimeouts& operator=(const TComTimeouts& other) {
        other.AssignTo(*this);
        return *this;
    }

    int32_t ReadInterval() const { return m_readInterval; }
    int32_t ReadTotalMultiplier() const { return m_readTotalMultiplier; }
    int32_t ReadTotalConstant() const { return m_readTotalConstant; }
    int32_t WriteTotalMultiplier() const { return m_writeTotalMultiplier; }
    int32_t WriteTotalConstant() const { return m_writeTotalConstant; }

    // Each setter stores a different value and has the owning port apply the timeouts.
    void SetReadInterval(int32_t value) { Set(m_readInterval, value); }
    void SetReadTotalMultiplier(int32_t value) { Set(m_readTotalMultiplier, value); }
    void SetReadTotalConstant(int32_t value) { Set(m_readTotalConstant, value); }
    void SetWriteTotalMultiplier(int32_t value) { Set(m_writeTotalMultiplier, value); }
    void SetWriteTotalConstant(int32_t value) { Set(m_writeTotalConstant, value); }

    // Copies the five values into dest, without applying them; dest keeps its owner.
    void AssignTo(TComTimeouts& dest) const { dest.CopyValues(*this); }

    TBComPort* Owner() const { return m_owner; }

  private:
    void Set(int32_t& field, int32_t value);
    void CopyValues(const TComTimeouts& from) {
        m_readInterval = from.m_readInterval;
        m_readTotalMultiplier = from.m_readTotalMultiplier;
        m_readTotalConstant = from.m_readTotalConstant;
        m_writeTotalMultiplier = from.m_writeTotalMultiplier;
        m_writeTotalConstant = from.m_writeTotalConstant;
    }

    TBComPort* m_owner = nullptr;
    int32_t m_readInterval = -1;
    int32_t m_readTotalMultiplier = 0;
    int32_t m_readTotalConstant = 0;
    int32_t m_writeTotalMultiplier = 100;
    int32_t m_writeTotalConstant = 1000;
};

}  // namespace velor
