#pragma once
// The firmware release the programs carry: KALMIRA-5K-2, release 241004, as Intel HEX text.

#include <string_view>

namespace velor {

inline constexpr std::string_view kEmbeddedReleaseName = "KALMIRA-5K-2_241004.hex";

std::string_view EmbeddedReleaseText();  // the .hex compiled into the program

}  // namespace velor
