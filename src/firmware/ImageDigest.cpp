#include "firmware/ImageDigest.h"

#include <algorithm>

#include "firmware/HexDigits.h"
#include "firmware/Sha256.h"

namespace velor {

namespace {

constexpr int64_t kChunkBytes = 64 * 1024;

}  // namespace

std::string ImageSha256(const FirmwareImage& image) {
    if (image.Empty()) {
        return "";
    }
    int64_t end = 0;
    for (const ByteRange& range : image.CoveredRanges()) {
        end = std::max(end, range.Last + 1);
    }
    Sha256 hash;
    std::string bytes;
    for (int64_t address = 0; address < end; address += kChunkBytes) {
        const std::string hex = image.Read(address, std::min(kChunkBytes, end - address));
        bytes.clear();
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
            bytes += static_cast<char>(HexDigitValue(hex[i]) * 16 + HexDigitValue(hex[i + 1]));
        }
        hash.Update(bytes);
    }
    return hash.HexDigest();
}

std::string ImageReleaseStamp(const FirmwareImage& image) {
    const std::string hex = image.Read(kStampAddress, kStampLength);
    std::string stamp;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        const char c = static_cast<char>(HexDigitValue(hex[i]) * 16 + HexDigitValue(hex[i + 1]));
        if (c < '0' || c > '9') {
            return "";
        }
        stamp += c;
    }
    return stamp.size() == kStampLength ? stamp : "";
}

}  // namespace velor
