#include "cli/commands/ImageReport.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/HexDigits.h"
#include "cli/output/OutputFile.h"
#include "cli/text/Translate.h"
#include "firmware/ImageDigest.h"

namespace velor::cli {

namespace {

// The byte a pair of image characters stands for; a pair that isn't hex (possible only when a
// record carried such characters with a matching checksum) becomes 0, as HexByteSum counts it.
unsigned char PairByte(char high, char low) {
    const int h = HexDigitValue(high);
    const int l = HexDigitValue(low);
    return h < 0 || l < 0 ? 0 : static_cast<unsigned char>(h * 16 + l);
}

}  // namespace

bool WriteImage(const FirmwareImage& image, const std::string& path, int64_t size,
                std::string& error) {
    constexpr int64_t kSlice = 64 * 1024;
    const auto writeBytes = [&](std::FILE* out) {
        std::string bytes;
        for (int64_t address = 0; address < size; address += kSlice) {
            const std::string chars = image.Read(address, std::min(kSlice, size - address));
            bytes.resize(chars.size() / 2);
            for (std::size_t k = 0; k < bytes.size(); ++k) {
                bytes[k] = static_cast<char>(PairByte(chars[2 * k], chars[2 * k + 1]));
            }
            if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
                return false;
            }
        }
        return true;
    };
    std::string reason;
    if (!ReplaceWholeFile(path, writeBytes, reason)) {
        std::error_code ec;
        const auto full = std::filesystem::absolute(path, ec);
        error = "Cannot write file \"" + (ec ? path : full.string()) + "\": " + reason + ".";
        return false;
    }
    return true;
}

namespace {

std::string StampText(const FirmwareImage& image) {
    const std::string chars = image.Read(kStampAddress, kStampLength);
    std::string text;
    for (std::size_t k = 0; k + 1 < chars.size(); k += 2) {
        const unsigned char byte = PairByte(chars[k], chars[k + 1]);
        if (byte < 0x20 || byte > 0x7E) {
            return Tr("none (bytes ") + chars + ")";
        }
        text += static_cast<char>(byte);
    }
    return text;
}

}  // namespace

void PrintReport(const FirmwareImage& image, const std::string& source, std::size_t lineCount) {
    std::printf(Tr("Firmware: %s, %zu lines\n"), source.c_str(), lineCount);
    const auto ranges = image.CoveredRanges();
    int64_t total = 0;
    std::printf(Tr("Data ranges:%s\n"), ranges.empty() ? Tr(" none") : "");
    for (const auto& range : ranges) {
        std::printf(
            Tr("  %04llX-%04llX  %lld bytes\n"), static_cast<unsigned long long>(range.First),
            static_cast<unsigned long long>(range.Last), static_cast<long long>(range.Size()));
        total += range.Size();
    }
    std::printf(Tr("Data bytes: %lld\n"), static_cast<long long>(total));
    std::printf(Tr("Release stamp at F0E0: %s\n"), StampText(image).c_str());
}

}  // namespace velor::cli
