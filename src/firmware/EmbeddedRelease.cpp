#include "firmware/EmbeddedRelease.h"

#include <cstddef>

namespace velor {

// Written at build time from resources/firmware by EmbedText.cmake.
extern const unsigned char kEmbeddedReleaseBytes[];
extern const std::size_t kEmbeddedReleaseSize;

std::string_view EmbeddedReleaseText() {
    return {reinterpret_cast<const char*>(kEmbeddedReleaseBytes), kEmbeddedReleaseSize};
}

}  // namespace velor
