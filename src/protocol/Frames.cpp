#include "protocol/Frames.h"

#include "firmware/HexChecks.h"

namespace velor {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
}

void MakeFrameInto(std::string& out, std::string_view body) {
    out.clear();
    out.reserve(body.size() + 4);
    out += 'g';
    out += body;
    out += HexByteSum(body);
    out += ';';
}

std::string MakeFrame(std::string_view body) {
    std::string frame;
    MakeFrameInto(frame, body);
    return frame;
}

bool ReplyAccepted(std::string_view reply, std::string_view code) {
    return reply.size() >= 1 + code.size() && reply.front() == 'g' &&
           reply.substr(1, code.size()) == code && reply.back() == ';';
}

bool ReplySigned(std::string_view reply) {
    if (reply.size() < 4 || reply.front() != 'g' || reply.back() != ';') {
        return false;
    }
    const std::string_view body = reply.substr(1, reply.size() - 4);
    const std::string_view check = reply.substr(reply.size() - 3, 2);
    for (char c : body) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) {
            return false;
        }
    }
    return body.size() % 2 == 0 && HexByteSum(body) == check;
}

bool SignedReplyAccepted(std::string_view reply, std::string_view code) {
    return ReplyAccepted(reply, code) && ReplySigned(reply);
}

bool IdentifyReplySettled(std::string_view reply, std::string_view previous) {
    return !reply.empty() && reply.back() == ';' && (ReplySigned(reply) || reply == previous);
}

std::string HexAddress(int64_t address) {
    std::string digits;
    auto value = static_cast<uint64_t>(address);
    do {
        digits.insert(digits.begin(), kHexDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (digits.size() < 6) {
        digits.insert(0, 6 - digits.size(), '0');
    }
    return digits;
}

void AppendHexByte(std::string& out, unsigned value) {
    out += kHexDigits[(value >> 4) & 0xF];
    out += kHexDigits[value & 0xF];
}

}  // namespace velor
