#pragma once
// The wire format of the bootloader's commands: "g" + code + payload + check digits + ";", all
// ASCII, numbers as uppercase hexadecimal text.

#include <cstdint>
#include <string>
#include <string_view>

namespace velor {

inline constexpr std::string_view kWakeUp = "ggggg";          // not a command; no reply is read
inline constexpr std::string_view kResetFrame = "g0101;";     // reset the device
inline constexpr std::string_view kIdentifyFrame = "g0202;";  // identify the bootloader
inline constexpr std::string_view kDescribeFrame = "g0303;";  // the device's text description
inline constexpr std::string_view kProgramFrame = "g0606;";   // program the block last written

inline constexpr std::string_view kEraseCode = "04";  // erase the page at an address
inline constexpr std::string_view kWriteCode = "05";  // write one block into the device buffer

inline constexpr std::string_view kEraseReply = "84";
inline constexpr std::string_view kWriteReply = "85";
inline constexpr std::string_view kProgramReply = "86";
inline constexpr std::string_view kIdentifyReply = "82";
inline constexpr std::string_view kResetReply = "81";  // read, never tested

// "g" + body + HexByteSum(body) + ";"; body is the command code followed by the payload.
std::string MakeFrame(std::string_view body);
// The same into out, reusing its storage.
void MakeFrameInto(std::string& out, std::string_view body);

// True when the reply begins with "g" + code and ends with ";"; nothing else is looked at.
bool ReplyAccepted(std::string_view reply, std::string_view code);

// True when the reply is one signed reply: "g" + body + HexByteSum(body) + ";", the body made of
// uppercase hexadecimal digits.
bool ReplySigned(std::string_view reply);
// The first signed reply within text that carries code, empty when there is none; noise, a
// doubled reply or the late reply of another command may stand around it. A signed reply holds
// no "g" after its first character, so each ";" closes one candidate: the text from the last "g"
// before it.
std::string_view FirstSignedReply(std::string_view text, std::string_view code);
// True when text is one frame and no more: "g" first, ";" last and nowhere else.
bool OneFrame(std::string_view text);
// For a device that signs its replies: a signed reply within the reply carries code. A reply
// garbled on the line and a reply whose head alone fits fail, so a late reply of another command
// cannot be taken for this one's; a reply the line repeated or joined to another still counts.
bool SignedReplyAccepted(std::string_view reply, std::string_view code);

// Whether an identify reply ends the tries: it holds a signed identify reply, or it is one frame
// that repeats the reply of the try before, so that one garbled or doubled on the line is asked for
// again.
bool IdentifyReplySettled(std::string_view reply, std::string_view previous);

// The first signed description reply within text: "g" + code + text + two check characters +
// ";", the code not that of another command's reply (a late one). A description of hexadecimal
// pairs is signed as any reply; free text by the low byte of the sum of its character codes
// (code included). Empty when there is none.
std::string_view FirstSignedDescription(std::string_view text);
// Whether a description try ends the tries, given the signed descriptions of this try and the
// one before (empty when none): hexadecimal pairs are checked as any reply; free text only by the
// sum of its character codes, which a digit garbled into a letter can match, so it counts once
// it has come twice alike.
bool DescriptionSettled(std::string_view description, std::string_view previous);

// A device address as uppercase hexadecimal, at least six digits (more only when needed).
std::string HexAddress(int64_t address);
// Appends the two uppercase hexadecimal digits of the low byte of value.
void AppendHexByte(std::string& out, unsigned value);

}  // namespace velor
