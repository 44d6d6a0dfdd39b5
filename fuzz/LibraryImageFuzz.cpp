// The firmware load through libvelor's C interface, fed the firmware text target's corpus: any
// text gives a defined status, a handle that says the same thing as the status, and nothing
// left behind once freed.
#include <velor/velor.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Expect(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "library image fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    velor_image* image = nullptr;
    const int status = velor_image_load_text(reinterpret_cast<const char*>(data), size, &image);
    Expect(status == VELOR_OK || status == VELOR_E_REFUSED_TEXT, "an unexpected status");
    Expect(image != nullptr, "no handle");
    const bool loaded = status == VELOR_OK;
    Expect(velor_image_ok(image) == (loaded ? 1 : 0), "the handle contradicts the status");
    Expect(std::strlen(velor_image_sha256(image)) == (loaded ? 64u : 0u), "a digest of odd length");
    Expect(loaded == (velor_image_size(image) > 0), "a size that contradicts the status");
    Expect(loaded == (velor_image_message(image)[0] == '\0'), "a message that contradicts");
    std::size_t lines = 1;
    for (std::size_t i = 0; i < size; ++i) {
        lines += data[i] == '\n' || data[i] == '\r' ? 1 : 0;
    }
    const int64_t line = velor_image_line(image);
    Expect(line >= 0 && static_cast<std::size_t>(line) <= lines, "a line past the text");
    velor_image_free(image);
    return 0;
}
