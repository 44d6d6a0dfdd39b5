#pragma once
// The simulated KALMIRA-5K-2 bootloader: its memory and its answers to whole frames. Knows
// nothing of lines, timing or faults; those are the simulator's main loop.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace devsim {

struct Geometry {
    int blocksPerPage = 16;  // 0..255
    int blockSize = 64;      // 0..255 bytes
    int pages = 64;          // 0..65535
};

struct ModelConfig {
    Geometry geometry;
    std::string version = "02";          // characters 4-5 of the identify reply
    std::string info1 = "01";            // characters 6-7
    std::string info2 = "02";            // characters 8-9
    std::string description = "241003";  // used while memory holds no release stamp
    std::set<std::string> ignored;       // command codes never answered (nor carried out)
    bool signReplies = true;             // false: "**" where replies carry check digits
};

// The low byte of the sum of the text's two-digit hexadecimal pairs, as two uppercase digits;
// nullopt when the text is not made of whole uppercase hexadecimal pairs.
std::optional<std::string> CheckDigits(std::string_view hexText);

class BootloaderModel {
  public:
    // Where the release stamp stands in memory.
    static constexpr std::size_t kStampAddress = 0xF0E0;
    static constexpr std::size_t kStampLength = 6;

    struct Result {
        std::optional<std::string> reply;  // nothing when the frame is refused silently
        bool reset = false;                // the device restarted (memory worth a dump)
        std::string note;                  // why a frame was refused, for the log
    };

    explicit BootloaderModel(ModelConfig config);

    // One frame, "g" + body + two check digits + ";".
    Result Handle(std::string_view frame);

    const std::vector<std::uint8_t>& Memory() const { return m_memory; }
    // What the device says to "describe" now.
    const std::string& Description() const { return m_description; }

  private:
    void LatchDescription();
    std::string Reply(std::string_view code, std::string_view payload) const;
    Result Erase(std::string_view payload);
    Result WriteBlock(std::string_view payload);
    Result Program();

    ModelConfig m_config;
    std::vector<std::uint8_t> m_memory;
    std::string m_description;
    std::size_t m_pageAddress = 0;
    bool m_pageErased = false;
    int m_blockNumber = 0;  // of the block in m_block; 0 while none was written
    std::vector<std::uint8_t> m_block;
};

}  // namespace devsim
