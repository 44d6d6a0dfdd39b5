#pragma once
// The words and the byte encoding of a wire trace (docs/trace-format.md): one home for what the
// recorder writes and the reader expects.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/SessionEvents.h"

namespace velor {

inline constexpr const char* kTraceFormatName = "velor-wire-trace";
inline constexpr int kTraceFormatVersion = 1;

// The device every trace is of: the geometry this program writes.
inline constexpr int64_t kTracePages = 64;
inline constexpr int64_t kTraceBlocksPerPage = 16;
inline constexpr int64_t kTraceBlockSize = 64;

const char* OperationName(SessionOperation operation);   // detect, write, reset
const char* AttemptCommandName(AttemptCommand command);  // erase, write, program
const char* AttemptVerdictName(AttemptVerdict verdict);  // accepted, refused, no-reply
std::optional<SessionOperation> OperationNamed(std::string_view name);
std::optional<AttemptCommand> AttemptCommandNamed(std::string_view name);
std::optional<AttemptVerdict> AttemptVerdictNamed(std::string_view name);

// Bytes of the wire as text a JSON string can hold: each byte becomes the character of the same
// number (0..255), so that the JSON writer escapes what is not printable ASCII as \u00XX.
std::string BytesAsText(std::string_view bytes);
// The reverse, from the UTF-8 a JSON reader gives back; nullopt when a character lies past 255.
std::optional<std::string> TextAsBytes(std::string_view utf8);

}  // namespace velor
