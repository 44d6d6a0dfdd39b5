#include "firmware/HexChecks.h"

#include <cstdint>
#include <cstring>

#include "firmware/FirmwareMessages.h"
#include "firmware/HexDigits.h"
#include "firmware/LineFailure.h"
#include "firmware/LoadPace.h"

namespace velor {

namespace {

// The low byte of the sum of the valid pairs.
int HexByteSumValue(std::string_view text) {
    // Unsigned, so a text of any length wraps instead of overflowing; only the low byte counts.
    uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexDigitValue(text[i]);
        const int low = HexDigitValue(text[i + 1]);
        // Branch-free: an invalid pair (either digit -1) adds 0.
        const uint32_t valid = static_cast<uint32_t>((high | low) >= 0);
        sum += valid * static_cast<uint32_t>(high * 16 + low);
    }
    return static_cast<int>(sum & 0xFF);
}

std::size_t CountOf(std::string_view text, char c) {
    std::size_t n = 0;
    const char* base = text.data();
    for (std::size_t pos = 0; pos < text.size(); ++n) {
        const auto* hit = static_cast<const char*>(std::memchr(base + pos, c, text.size() - pos));
        if (!hit) {
            break;
        }
        pos = static_cast<std::size_t>(hit - base) + 1;
    }
    return n;
}

}  // namespace

std::string HexByteSum(std::string_view text) {
    const int sum = HexByteSumValue(text);
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[sum >> 4], kDigits[sum & 0xF]};
}

HexLines SplitLines(std::string_view text) {
    return HexLines(text);
}

std::size_t CountLines(std::string_view text) {
    // Every LF ends a line, and every CR that no LF follows.
    std::size_t lines = CountOf(text, '\n');
    const char* base = text.data();
    for (std::size_t pos = 0; pos < text.size();) {
        const auto* cr = static_cast<const char*>(std::memchr(base + pos, '\r', text.size() - pos));
        if (!cr) {
            break;
        }
        pos = static_cast<std::size_t>(cr - base) + 1;
        lines += pos == text.size() || text[pos] != '\n';
    }
    const char last = text.empty() ? '\n' : text.back();
    return lines + (last != '\n' && last != '\r' ? 1 : 0);
}

bool CheckFirmwareText(const HexLines& lines, TsGauge& gauge, IHost& host, EventPump& pump) {
    gauge.SetMaxValue(static_cast<int64_t>(lines.size()) - 1);
    gauge.SetProgress(0);
    auto next = lines.begin();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i % kLinesPerTick == 0) {
            pump.Tick();
        }
        const std::string_view line = *next++;
        if (line.starts_with(':')) {
            const std::string_view rest = line.substr(1);
            if (rest.size() % 2 != 0) {
                return RefuseLine(kParityPrefix, i, line, gauge, host);
            }
            const std::string_view field = rest.substr(rest.size() < 2 ? 0 : rest.size() - 2);
            const int32_t checksum = HexFieldValue(field);
            const int sum = HexByteSumValue(rest.substr(0, rest.size() - field.size()));
            if (checksum != (256 - sum) % 256) {
                return RefuseLine(kChecksumPrefix, i, line, gauge, host);
            }
        }
        gauge.AddProgress(1);
    }
    return true;
}

}  // namespace velor
