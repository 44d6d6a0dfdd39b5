#pragma once
// The handles the C interface gives out: a tag that says what a pointer is and whether it still
// lives, in front of the object behind it. A freed handle's tag reads "dead"; builds with
// VELOR_LIB_HANDLE_CHECKS keep the freed tag's memory so that a later call is caught rather than
// undefined.

#include <cstdint>
#include <memory>

namespace velor::lib {

enum class HandleTag : uint32_t {
    Image = 0x56494d47,     // "VIMG"
    Session = 0x56534553,   // "VSES"
    PortList = 0x56504c53,  // "VPLS"
    Dead = 0xdeadbeef,
};

template <typename Body>
struct Handle {
    explicit Handle(HandleTag t) : tag(t) {}
    HandleTag tag;
    std::unique_ptr<Body> body = std::make_unique<Body>();
};

// The body of a live handle of kind, else null.
template <typename Body, typename H>
Body* BodyOf(H* handle, HandleTag kind) {
    if (handle == nullptr || handle->tag != kind) {
        return nullptr;
    }
    return handle->body.get();
}

template <typename H>
void FreeHandle(H* handle) {
    handle->body.reset();
    handle->tag = HandleTag::Dead;
#ifndef VELOR_LIB_HANDLE_CHECKS
    delete handle;
#endif
}

}  // namespace velor::lib
