#pragma once
// SHA-256 (FIPS 180-4), small and self-contained so that velor-flash.exe stays one file.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace velor {

class Sha256 {
  public:
    Sha256();
    void Update(std::string_view bytes);
    // The digest as 64 lower-case hexadecimal digits; the object is spent afterwards.
    std::string HexDigest();

  private:
    void Block(const unsigned char* block);

    std::array<uint32_t, 8> m_state;
    std::array<unsigned char, 64> m_buffer{};
    std::size_t m_buffered = 0;
    uint64_t m_length = 0;  // bytes seen
};

std::string Sha256Hex(std::string_view bytes);

}  // namespace velor
