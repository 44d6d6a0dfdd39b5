#pragma once
// The texts of the firmware load's refusals (UTF-8). Each is followed by the line number, "!",
// " (", the line and ")".

#include <cstddef>
#include <string>
#include <string_view>

namespace velor {

inline constexpr std::string_view kParityPrefix = "Порушення парності у строці мікропрограми: ";
inline constexpr std::string_view kChecksumPrefix =
    "Помилка контрольної суми у строці мікропрограми: ";
inline constexpr std::string_view kStartLinearPrefix =
    "Знайдено: Start Linear Address Records (MDK-ARM only): ";
inline constexpr std::string_view kShortRecordPrefix = "Неповний запис у строці мікропрограми: ";
inline constexpr std::string_view kShortDataPrefix =
    "Даних менше, ніж вказано, у строці мікропрограми: ";
inline constexpr std::string_view kOutsideImagePrefix =
    "Дані поза межами пам'яті приладу у строці мікропрограми: ";
inline constexpr std::string_view kNotHexDataPrefix =
    "Недопустимий символ у даних у строці мікропрограми: ";

// A whole text that passed every line and still sets no byte: nothing to write.
inline constexpr std::string_view kNoDataMessage =
    "Мікропрограма не містить жодного запису даних!\r\nЗапис такої мікропрограми неможливий.";

// The whole message for the line with 1-based number lineNumber (the line is 8-bit).
std::string LineMessage(std::string_view prefix, std::size_t lineNumber, std::string_view line);
// The line number of a message LineMessage made; 0 for any other text.
std::size_t LineNumberOf(std::string_view message);

}  // namespace velor
