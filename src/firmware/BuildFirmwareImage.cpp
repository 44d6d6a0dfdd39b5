#include "firmware/BuildFirmwareImage.h"

#include <cstdint>

#include "firmware/FirmwareMessages.h"
#include "firmware/HexDigits.h"
#include "firmware/LineFailure.h"
#include "firmware/LoadPace.h"

namespace velor {

namespace {

constexpr int64_t kFillBlocks = 1'000'000;  // blocks of 40 "F" the image is made of
constexpr int64_t kFillGaugeMax = 60000;
constexpr std::size_t kTypeDigit = 8;      // character 9 of the record, 0-based
constexpr std::size_t kMinRecordLine = 9;  // up to and including the record type
constexpr std::size_t kChecksumChars = 2;

void FillImage(FirmwareImage& image, TsGauge& gauge, EventPump& pump) {
    gauge.SetMaxValue(kFillGaugeMax);
    gauge.SetProgress(0);
    pump.Tick();
    image.Fill();
    // Every block's step at once: the gauge holds Progress at its maximum, as the steps would.
    gauge.AddProgress(kFillBlocks);
    pump.Tick();
}

// Characters from..from+count-1 of the line, fewer where the line ends (like the runtime's Copy).
// Whether every character is a hexadecimal digit: the checksum's sum counts any other pair as 0,
// so only this keeps such a pair from reaching the device as it stands.
bool AllHexDigits(std::string_view chars) {
    for (char c : chars) {
        if (HexDigitValue(c) < 0) {
            return false;
        }
    }
    return true;
}

std::string_view Field(std::string_view line, std::size_t from, std::size_t count) {
    return from < line.size() ? line.substr(from, count) : std::string_view();
}

}  // namespace

bool BuildFirmwareImage(const HexLines& lines, TsGauge& gauge, IHost& host, EventPump& pump,
                        FirmwareImage& image) {
    FillImage(image, gauge, pump);

    gauge.SetMaxValue(static_cast<int64_t>(lines.size()) - 1);
    gauge.SetProgress(0);
    // Image characters, 64-bit: an extended linear address of FFFF gives 8,589,803,520.
    int64_t base = 0;
    auto next = lines.begin();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i % kLinesPerTick == 0) {
            pump.Tick();
        }
        const std::string_view line = *next++;
        if (!line.starts_with(':')) {
            continue;
        }
        if (line.size() < kMinRecordLine) {
            return RefuseLine(kShortRecordPrefix, i, line, gauge, host);
        }
        switch (line[kTypeDigit]) {
            case '1':
                return true;
            case '2':
                base = int64_t{HexFieldValue(Field(line, 9, 4))} * 32;
                break;
            case '4':
                base = int64_t{HexFieldValue(Field(line, 9, 4))} * 131072;
                break;
            case '5':
                return RefuseLine(kStartLinearPrefix, i, line, gauge, host);
            case '0': {
                const int64_t count = HexFieldValue(line.substr(1, 2));
                const int64_t offset = HexFieldValue(line.substr(3, 4));
                if (count == 0) {
                    break;
                }
                const std::size_t chars = static_cast<std::size_t>(2 * count);
                if (line.size() < kMinRecordLine + chars + kChecksumChars) {
                    return RefuseLine(kShortDataPrefix, i, line, gauge, host);
                }
                const std::string_view data = line.substr(kMinRecordLine, chars);
                if (!AllHexDigits(data)) {
                    return RefuseLine(kNotHexDataPrefix, i, line, gauge, host);
                }
                if (!image.WriteChars(base + 2 * offset, data)) {
                    return RefuseLine(kOutsideImagePrefix, i, line, gauge, host);
                }
                break;
            }
            default:
                break;
        }
        gauge.AddProgress(1);
    }
    return true;
}

}  // namespace velor
