// The firmware load over arbitrary text: upper-casing, the check pass and the build must never
// crash nor touch memory outside the image, and wherever the load completes the image must equal
// what a plain reader of the records makes of the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/MainWindowModel.h"
#include "firmware/FirmwareImage.h"
#include "firmware/PrepareFirmware.h"
#include "support/QuietHost.h"

namespace {

constexpr int64_t kImageBytes = 20'000'000;

std::optional<int64_t> Hex(std::string_view digits) {
    if (digits.empty()) {
        return std::nullopt;
    }
    int64_t v = 0;
    for (char c : digits) {
        if (c >= '0' && c <= '9') {
            v = v * 16 + (c - '0');
        } else if (c >= 'A' && c <= 'F') {
            v = v * 16 + (c - 'A' + 10);
        } else {
            return std::nullopt;
        }
    }
    return v;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

// The bytes the records set, by address, as their two characters; nullopt where this reader
// declines to judge (a data field with a character that is not a hexadecimal digit, whose
// upper-casing depends on the code page, or anything it does not understand).
std::optional<std::map<int64_t, std::string>> ReadRecords(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    std::map<int64_t, std::string> bytes;
    int64_t base = 0;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find_first_of("\r\n", begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + begin, end - begin);
        begin = end;
        if (begin < text.size()) {
            begin +=
                (text[begin] == '\r' && begin + 1 < text.size() && text[begin + 1] == '\n') ? 2 : 1;
        }
        if (line.empty() || line[0] != ':') {
            continue;
        }
        if (line.size() < 9) {
            return std::nullopt;
        }
        const char type = line[8];
        if (type == '1') {
            break;
        }
        if (type == '2' || type == '4') {
            const auto value = Hex(line.substr(9, 4));
            if (!value || line.size() < 13) {
                return std::nullopt;
            }
            base = *value * (type == '2' ? 32 : 131072);
        } else if (type == '5') {
            return std::nullopt;
        } else if (type == '0') {
            const auto count = Hex(line.substr(1, 2));
            const auto offset = Hex(line.substr(3, 4));
            if (!count || !offset || line.size() < 9 + 2 * static_cast<std::size_t>(*count)) {
                return std::nullopt;
            }
            const int64_t first = base + 2 * *offset;
            for (int64_t k = 0; k < *count; ++k) {
                const std::string_view pair = line.substr(9 + 2 * k, 2);
                if (!IsHexDigit(pair[0]) || !IsHexDigit(pair[1]) ||
                    (first + 2 * k) / 2 >= kImageBytes) {
                    return std::nullopt;
                }
                bytes[(first + 2 * k) / 2] = std::string(pair);
            }
        }
    }
    return bytes;
}

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "firmware fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    velor::MainWindowModel form;
    velor::test::QuietHost host;
    auto image = std::make_shared<const velor::FirmwareImage>();
    form.TextTerminal.SetText(text);
    bool completed = false;
    try {
        completed = velor::PrepareFirmware(form, host, image);
    } catch (const std::exception&) {
        // The conversion and range errors the load reports through the window's handler.
        Expect(image->Empty(), "a failed load replaced the image");
        return 0;
    }
    if (!completed) {
        Expect(image->Empty(), "a failed load replaced the image");
        return 0;
    }
    Expect(!image->Empty(), "a completed load left no image");
    const auto expected = ReadRecords(text);
    if (!expected) {
        return 0;
    }
    int64_t covered = 0;
    for (const auto& range : image->CoveredRanges()) {
        Expect(range.First >= 0 && range.Last < kImageBytes && range.First <= range.Last,
               "a covered range outside the image");
        covered += range.Size();
        for (int64_t a = range.First; a <= range.Last; ++a) {
            const auto it = expected->find(a);
            Expect(it != expected->end(), "the image holds a byte no record set");
            Expect(image->Read(a, 1) == it->second, "a byte differs from its record");
        }
    }
    Expect(covered == static_cast<int64_t>(expected->size()), "a record's byte is missing");
    Expect(image->Read(kImageBytes - 1, 4).size() == 2, "a read past the end");
    return 0;
}
