#pragma once
// Whether the device's release, as its description names it, may be overwritten with ours.

#include <string_view>

namespace velor {

inline constexpr std::string_view kReleaseStamp = "241004";  // 04.10.24, year month day

enum class ReleaseVerdict {
    Unknown,  // not six characters: not a release stamp at all
    Same,     // the device already holds this release
    Newer,    // the device holds a later release
    Older,    // flash it
};

// description: the whole UTF-8 text of MemoAbout. A six-character text other than the stamp that
// is not an integer raises EConvertError naming it.
ReleaseVerdict CheckRelease(std::string_view description);

}  // namespace velor
