#pragma once
// The device memory image: two hex characters per device byte, "FF" where no record wrote.
// Only the chunks that records touch are materialised, so a fresh image costs no page faults for
// the 40,000,000 characters it stands for; every read is exactly that of a flat string.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velor {

// Device byte addresses first..last (inclusive).
struct ByteRange {
    int64_t First = 0;
    int64_t Last = 0;

    int64_t Size() const { return Last - First + 1; }
    bool operator==(const ByteRange&) const = default;
};

class FirmwareImage {
  public:
    static constexpr int64_t kByteCount = 20'000'000;  // 40,000,000 hex characters
    static constexpr int64_t kCharCount = 2 * kByteCount;

    FirmwareImage();  // empty: before the first fill, every read yields ""
    ~FirmwareImage();
    FirmwareImage(FirmwareImage&&) noexcept;
    FirmwareImage& operator=(FirmwareImage&&) noexcept;
    FirmwareImage(const FirmwareImage&) = delete;
    FirmwareImage& operator=(const FirmwareImage&) = delete;

    bool Empty() const { return !m_filled; }
    // Whether any write has set a byte since the last Fill.
    bool HasData() const { return !m_written.empty(); }

    // Full size, every byte "FF"; forgets every earlier write.
    void Fill();

    // Copies chars unchanged to the character offset. Writes nothing and returns false when the
    // image is empty or the characters would not lie wholly inside it.
    bool WriteChars(int64_t offset, std::string_view chars);

    // The 2*count characters for the bytes at address..address+count-1, fewer past the end,
    // "FF" where no record wrote. Never throws for any address/count (negative -> "").
    std::string Read(int64_t address, int64_t count) const;

    // The device bytes that writes set (whole bytes; merged, in address order).
    std::vector<ByteRange> CoveredRanges() const;

  private:
    static constexpr int64_t kChunkChars = 64 * 1024;
    static constexpr int64_t kChunkCount = (kCharCount + kChunkChars - 1) / kChunkChars;

    char* ChunkForWrite(int64_t index);

    bool m_filled = false;
    std::vector<std::unique_ptr<char[]>> m_chunks;       // null: every character is 'F'
    std::vector<std::pair<int64_t, int64_t>> m_written;  // character offset ranges [begin, end)
};

}  // namespace velor
