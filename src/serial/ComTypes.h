#pragma once
// The value types of the port component. Every enumeration is one byte and keeps its ordinals:
// three of them reach the device as their ordinal.

#include <array>
#include <cstdint>
#include <initializer_list>

namespace velor {

enum class TBaudRate : uint8_t {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};

// Bits per second, indexed by the TBaudRate ordinal.
inline constexpr std::array<uint32_t, 15> kBaudRateTable = {
    110,   300,   600,   1200,  2400,   4800,   9600,   14400,
    19200, 38400, 56000, 57600, 115200, 128000, 256000,
};

inline constexpr uint32_t BaudRateValue(TBaudRate rate) {
    return kBaudRateTable[static_cast<uint8_t>(rate)];
}

enum class TByteSize : uint8_t { bs5, bs6, bs7, bs8 };  // data bits = ordinal + 5
enum class TParity : uint8_t { paNone, paOdd, paEven, paMark, paSpace };
enum class TStopBits : uint8_t { sb1, sb1_5, sb2 };
enum class TSyncMethod : uint8_t { smThreadSync, smWindowSync, smNone };

// A small set over an enumeration whose ordinals are bit positions.
template <typename E>
class TEnumSet {
  public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> members) {
        for (E m : members) {
            Include(m);
        }
    }
    static constexpr TEnumSet FromBits(uint8_t bits) {
        TEnumSet s;
        s.m_bits = bits;
        return s;
    }
    constexpr bool Contains(E m) const { return (m_bits & Bit(m)) != 0; }
    constexpr void Include(E m) { m_bits = static_cast<uint8_t>(m_bits | Bit(m)); }
    constexpr void Exclude(E m) { m_bits = static_cast<uint8_t>(m_bits & ~Bit(m)); }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr uint8_t Bits() const { return m_bits; }
    friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

  private:
    static constexpr uint8_t Bit(E m) {
        return static_cast<uint8_t>(1u << static_cast<uint8_t>(m));
    }
    uint8_t m_bits = 0;
};

enum class TModemLine : uint8_t { mlCTS, mlDSR, mlRing, mlRLSD };
using TModemLines = TEnumSet<TModemLine>;

enum class TTransferKind : uint8_t { tfWrite, tfRead };

}  // namespace velor
