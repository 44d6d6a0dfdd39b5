#include "trace/TraceFormat.h"

namespace velor {

const char* OperationName(SessionOperation operation) {
    switch (operation) {
        case SessionOperation::Detect:
            return "detect";
        case SessionOperation::Write:
            return "write";
        case SessionOperation::Reset:
            return "reset";
    }
    return "";
}

const char* AttemptCommandName(AttemptCommand command) {
    switch (command) {
        case AttemptCommand::Erase:
            return "erase";
        case AttemptCommand::Write:
            return "write";
        case AttemptCommand::Program:
            return "program";
    }
    return "";
}

const char* AttemptVerdictName(AttemptVerdict verdict) {
    switch (verdict) {
        case AttemptVerdict::Accepted:
            return "accepted";
        case AttemptVerdict::Refused:
            return "refused";
        case AttemptVerdict::NoReply:
            return "no-reply";
    }
    return "";
}

namespace {

template <typename Enum, typename NameOf>
std::optional<Enum> Named(std::string_view name, NameOf nameOf, std::initializer_list<Enum> all) {
    for (const Enum value : all) {
        if (name == nameOf(value)) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<SessionOperation> OperationNamed(std::string_view name) {
    return Named(name, OperationName,
                 {SessionOperation::Detect, SessionOperation::Write, SessionOperation::Reset});
}

std::optional<AttemptCommand> AttemptCommandNamed(std::string_view name) {
    return Named(name, AttemptCommandName,
                 {AttemptCommand::Erase, AttemptCommand::Write, AttemptCommand::Program});
}

std::optional<AttemptVerdict> AttemptVerdictNamed(std::string_view name) {
    return Named(name, AttemptVerdictName,
                 {AttemptVerdict::Accepted, AttemptVerdict::Refused, AttemptVerdict::NoReply});
}

std::string BytesAsText(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text += c;
        } else {
            text += static_cast<char>(0xC0 | (byte >> 6));
            text += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return text;
}

std::optional<std::string> TextAsBytes(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
            continue;
        }
        // Only the two-byte forms of 0x80..0xFF: C2 or C3 and one continuation byte.
        if ((lead != 0xC2 && lead != 0xC3) || i + 1 >= utf8.size()) {
            return std::nullopt;
        }
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        bytes += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
    }
    return bytes;
}

}  // namespace velor
