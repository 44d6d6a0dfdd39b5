#pragma once
// What an image handle holds: the loaded image (shared, read only, by every session that writes
// it) or the refusal of its text.

#include <cstdint>
#include <memory>
#include <string>

#include "firmware/FirmwareImage.h"
#include "lib/Handles.h"

namespace velor::lib {

struct ImageBody {
    std::shared_ptr<const FirmwareImage> image;  // null when the load was refused
    std::string sha256;
    int64_t size = 0;
    std::string message;
    int64_t line = 0;
};

}  // namespace velor::lib

struct velor_image : velor::lib::Handle<velor::lib::ImageBody> {
    using Handle::Handle;
};
