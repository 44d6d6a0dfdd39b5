#include "protocol/Frames.h"

#include <algorithm>
#include <iterator>

#include "app/HexDigits.h"
#include "firmware/HexChecks.h"

namespace velor {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";
// Replies to the other commands, which may come late into a description's read.
constexpr std::string_view kOtherReplies[] = {kResetReply, kIdentifyReply, kEraseReply, kWriteReply,
                                              kProgramReply};
}  // namespace

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

std::string_view FirstSignedReply(std::string_view text, std::string_view code) {
    std::size_t start = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == 'g') {
            start = i;
        } else if (text[i] == ';' && start != std::string_view::npos) {
            const std::string_view candidate = text.substr(start, i + 1 - start);
            if (ReplyAccepted(candidate, code) && ReplySigned(candidate)) {
                return candidate;
            }
            start = std::string_view::npos;
        }
    }
    return {};
}

bool OneFrame(std::string_view text) {
    return text.size() >= 2 && text.front() == 'g' && text.back() == ';' &&
           text.find(';') == text.size() - 1 && text.find('g', 1) == std::string_view::npos;
}

bool SignedReplyAccepted(std::string_view reply, std::string_view code) {
    return !FirstSignedReply(reply, code).empty();
}

bool IdentifyReplySettled(std::string_view reply, std::string_view previous) {
    return !FirstSignedReply(reply, kIdentifyReply).empty() ||
           (OneFrame(reply) && reply == previous);
}

std::string_view FirstSignedDescription(std::string_view text) {
    constexpr std::size_t kCodeWidth = 2;
    for (std::size_t start = text.find('g'); start != std::string_view::npos;
         start = text.find('g', start + 1)) {
        // Running over the body that begins after start: its character codes, its hexadecimal
        // pairs, and whether it is all uppercase hexadecimal digits so far.
        unsigned codeSum = 0;
        unsigned pairSum = 0;
        bool hex = true;
        std::size_t bodyEnd = start + 1;  // the body is text[start + 1, bodyEnd)
        for (std::size_t end = start + 1 + kCodeWidth + 2; end < text.size(); ++end) {
            if (text[end] != ';') {
                continue;
            }
            // The body ends before the two check characters.
            for (; bodyEnd < end - 2; ++bodyEnd) {
                const char c = text[bodyEnd];
                codeSum += static_cast<unsigned char>(c);
                const int digit = HexDigitValue(c);
                hex = hex && digit >= 0 && !(c >= 'a' && c <= 'f');
                if (hex) {
                    pairSum += (bodyEnd - start - 1) % 2 == 0 ? 16u * static_cast<unsigned>(digit)
                                                              : static_cast<unsigned>(digit);
                }
            }
            const bool pairs = hex && (bodyEnd - start - 1) % 2 == 0;
            std::string check;
            AppendHexByte(check, pairs ? pairSum : codeSum);
            const std::string_view code = text.substr(start + 1, kCodeWidth);
            if (text.substr(end - 2, 2) == check &&
                std::find(std::begin(kOtherReplies), std::end(kOtherReplies), code) ==
                    std::end(kOtherReplies)) {
                return text.substr(start, end + 1 - start);
            }
        }
    }
    return {};
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

bool DescriptionSettled(std::string_view description, std::string_view previous) {
    return !description.empty() && (ReplySigned(description) || description == previous);
}

}  // namespace velor
