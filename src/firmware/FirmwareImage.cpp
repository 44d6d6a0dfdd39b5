#include "firmware/FirmwareImage.h"

#include <algorithm>
#include <cstring>

namespace velor {

FirmwareImage::FirmwareImage() = default;
FirmwareImage::~FirmwareImage() = default;
FirmwareImage::FirmwareImage(FirmwareImage&&) noexcept = default;
FirmwareImage& FirmwareImage::operator=(FirmwareImage&&) noexcept = default;

void FirmwareImage::Fill() {
    m_chunks.clear();
    m_chunks.resize(kChunkCount);
    m_written.clear();
    m_filled = true;
}

char* FirmwareImage::ChunkForWrite(int64_t index) {
    auto& chunk = m_chunks[index];
    if (!chunk) {
        chunk = std::make_unique_for_overwrite<char[]>(kChunkChars);
        std::memset(chunk.get(), 'F', kChunkChars);
    }
    return chunk.get();
}

bool FirmwareImage::WriteChars(int64_t offset, std::string_view chars) {
    const auto size = static_cast<int64_t>(chars.size());
    if (!m_filled || offset < 0 || offset > kCharCount || size > kCharCount - offset) {
        return false;
    }
    if (size == 0) {
        return true;
    }
    int64_t done = 0;
    while (done < size) {
        const int64_t at = offset + done;
        const int64_t within = at % kChunkChars;
        const int64_t n = std::min(size - done, kChunkChars - within);
        std::memcpy(ChunkForWrite(at / kChunkChars) + within, chars.data() + done,
                    static_cast<std::size_t>(n));
        done += n;
    }
    // Records mostly follow one another: one span for a run of them keeps the list short.
    if (!m_written.empty() && m_written.back().second == offset) {
        m_written.back().second = offset + size;
    } else {
        m_written.emplace_back(offset, offset + size);
    }
    return true;
}

std::string FirmwareImage::Read(int64_t address, int64_t count) const {
    if (!m_filled || address < 0 || count <= 0 || address >= kByteCount) {
        return {};
    }
    const int64_t begin = 2 * address;
    const int64_t end = 2 * (address + std::min(count, kByteCount - address));
    std::string out;
    out.resize(static_cast<std::size_t>(end - begin));
    for (int64_t at = begin; at < end;) {
        const int64_t index = at / kChunkChars;
        const int64_t within = at % kChunkChars;
        const int64_t n = std::min(end - at, kChunkChars - within);
        char* dest = out.data() + (at - begin);
        if (const auto& chunk = m_chunks[index]) {
            std::memcpy(dest, chunk.get() + within, static_cast<std::size_t>(n));
        } else {
            std::memset(dest, 'F', static_cast<std::size_t>(n));
        }
        at += n;
    }
    return out;
}

std::vector<ByteRange> FirmwareImage::CoveredRanges() const {
    auto spans = m_written;
    std::sort(spans.begin(), spans.end());
    std::vector<ByteRange> ranges;
    for (const auto& [begin, end] : spans) {
        // A byte counts as set when a write reached either of its characters.
        const int64_t first = begin / 2;
        const int64_t last = (end - 1) / 2;
        if (!ranges.empty() && first <= ranges.back().Last + 1) {
            ranges.back().Last = std::max(ranges.back().Last, last);
        } else {
            ranges.push_back({first, last});
        }
    }
    return ranges;
}

}  // namespace velor
