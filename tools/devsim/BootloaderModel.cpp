#include "BootloaderModel.h"

#include <algorithm>
#include <cstdio>

namespace devsim {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string TwoHex(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

// Whole uppercase hexadecimal pairs as bytes; nullopt otherwise.
std::optional<std::vector<std::uint8_t>> Bytes(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexValue(hex[i]);
        const int lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) {
            return std::nullopt;
        }
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return out;
}

}  // namespace

std::optional<std::string> CheckDigits(std::string_view hexText) {
    const auto bytes = Bytes(hexText);
    if (!bytes) {
        return std::nullopt;
    }
    unsigned sum = 0;
    for (auto b : *bytes) {
        sum += b;
    }
    return TwoHex(sum);
}

BootloaderModel::BootloaderModel(ModelConfig config) : m_config(std::move(config)) {
    const auto& g = m_config.geometry;
    m_memory.assign(static_cast<std::size_t>(g.blocksPerPage) * g.blockSize * g.pages, 0xFF);
    LatchDescription();
}

void BootloaderModel::LatchDescription() {
    m_description = m_config.description;
    if (m_memory.size() < kStampAddress + kStampLength) {
        return;
    }
    const auto first = m_memory.begin() + kStampAddress;
    if (std::all_of(first, first + kStampLength,
                    [](std::uint8_t b) { return b >= '0' && b <= '9'; })) {
        m_description.assign(first, first + kStampLength);
    }
}

std::string BootloaderModel::Reply(std::string_view code, std::string_view payload) const {
    std::string body(code);
    body += payload;
    // Replies carry two check characters where frames do; text payloads sum their codes.
    unsigned sum = 0;
    for (unsigned char c : body) {
        sum += c;
    }
    const auto digits = CheckDigits(body);
    if (!m_config.signReplies) {
        return "g" + body + "**;";
    }
    return "g" + body + (digits ? *digits : TwoHex(sum)) + ";";
}

BootloaderModel::Result BootloaderModel::Handle(std::string_view frame) {
    Result result;
    if (frame.size() < 6 || frame.front() != 'g' || frame.back() != ';') {
        result.note = "not a frame";
        return result;
    }
    const std::string_view body = frame.substr(1, frame.size() - 4);
    const std::string_view check = frame.substr(frame.size() - 3, 2);
    const auto expected = CheckDigits(body);
    if (!expected) {
        result.note = "not hexadecimal";
        return result;
    }
    if (*expected != check) {
        result.note = "check digits " + std::string(check) + ", expected " + *expected;
        return result;
    }
    const std::string code(body.substr(0, 2));
    const std::string_view payload = body.substr(2);
    if (m_config.ignored.count(code) != 0) {
        result.note = "command " + code + " is ignored";
        return result;
    }
    if (code == "01" && payload.empty()) {
        result.reply = Reply("81", "");
        result.reset = true;
        m_pageErased = false;
        m_blockNumber = 0;
        LatchDescription();
    } else if (code == "02" && payload.empty()) {
        const auto& g = m_config.geometry;
        char fields[16];
        std::snprintf(fields, sizeof fields, "%02X%02X%04X", g.blocksPerPage & 0xFF,
                      g.blockSize & 0xFF, g.pages & 0xFFFF);
        result.reply = Reply("82", m_config.version + m_config.info1 + m_config.info2 + fields);
    } else if (code == "03" && payload.empty()) {
        result.reply = Reply("83", m_description);
    } else if (code == "04") {
        return Erase(payload);
    } else if (code == "05") {
        return WriteBlock(payload);
    } else if (code == "06" && payload.empty()) {
        return Program();
    } else {
        result.note = "unknown command " + code;
    }
    return result;
}

BootloaderModel::Result BootloaderModel::Erase(std::string_view payload) {
    Result result;
    if (payload.size() < 6 || payload.size() > 8) {
        result.note = "erase address of " + std::to_string(payload.size()) + " digits";
        return result;
    }
    std::size_t address = 0;
    for (char c : payload) {
        address = address * 16 + static_cast<std::size_t>(HexValue(c));
    }
    const auto& g = m_config.geometry;
    const std::size_t pageSize = static_cast<std::size_t>(g.blocksPerPage) * g.blockSize;
    const std::size_t begin = std::min(address, m_memory.size());
    const std::size_t end = std::min(address + pageSize, m_memory.size());
    std::fill(m_memory.begin() + begin, m_memory.begin() + end, 0xFF);
    m_pageAddress = address;
    m_pageErased = true;
    m_blockNumber = 0;
    result.reply = Reply("84", "");
    return result;
}

BootloaderModel::Result BootloaderModel::WriteBlock(std::string_view payload) {
    Result result;
    const auto& g = m_config.geometry;
    auto bytes = Bytes(payload);
    if (!bytes || bytes->empty()) {
        result.note = "write without a block number";
        return result;
    }
    const int number = (*bytes)[0];
    if (number < 1 || number > g.blocksPerPage) {
        result.note = "block number " + std::to_string(number) + " outside the page";
        return result;
    }
    if (bytes->size() - 1 > static_cast<std::size_t>(g.blockSize)) {
        result.note = "block of " + std::to_string(bytes->size() - 1) + " bytes";
        return result;
    }
    m_block.assign(bytes->begin() + 1, bytes->end());
    m_block.resize(static_cast<std::size_t>(g.blockSize), 0xFF);
    m_blockNumber = number;
    result.reply = Reply("85", "");
    return result;
}

BootloaderModel::Result BootloaderModel::Program() {
    Result result;
    if (!m_pageErased || m_blockNumber == 0) {
        result.note = "program without an erased page and a written block";
        return result;
    }
    const std::size_t at =
        m_pageAddress + static_cast<std::size_t>(m_blockNumber - 1) * m_config.geometry.blockSize;
    // Flash cells only lose bits: programming an unerased cell keeps the bits already cleared.
    for (std::size_t i = 0; i < m_block.size() && at + i < m_memory.size(); ++i) {
        m_memory[at + i] &= m_block[i];
    }
    result.reply = Reply("86", "");
    return result;
}

}  // namespace devsim
