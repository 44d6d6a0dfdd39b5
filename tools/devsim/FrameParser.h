#pragma once
// Cuts the byte stream that reaches the simulated bootloader into frames: a frame starts at "g"
// and ends at ";". A "g" inside an unfinished frame starts a new one, so the wake-up "ggggg" is
// swallowed by the frame that follows it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace devsim {

class FrameParser {
  public:
    // Frames longer than this are line noise: they are dropped whole.
    static constexpr std::size_t kMaxFrame = 2 * 255 + 32;

    // Feeds bytes; appends every frame completed by them ("g...;") to frames.
    void Feed(std::string_view bytes, std::vector<std::string>& frames);
    // Bytes dropped because they stood outside any frame or in an overlong one.
    std::size_t Discarded() const { return m_discarded; }

  private:
    std::string m_frame;
    bool m_inFrame = false;
    std::size_t m_discarded = 0;
};

}  // namespace devsim
