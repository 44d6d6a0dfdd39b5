// velor_image_*: the firmware load of the window, its refusals kept as text and line number.
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "app/Conversions.h"
#include "app/MainWindowModel.h"
#include "firmware/EmbeddedRelease.h"
#include "firmware/FirmwareMessages.h"
#include "firmware/ImageDigest.h"
#include "firmware/PrepareFirmware.h"
#include "firmware/ReadTextFile.h"
#include "lib/Handles.h"
#include "lib/LibHost.h"
#include "lib/LibImage.h"
#include "lib/Utf8.h"
#include "velor/velor.h"

using velor::lib::HandleTag;
using velor::lib::ImageBody;

namespace {

const ImageBody* Body(const velor_image* image) {
    return velor::lib::BodyOf<const ImageBody>(image, HandleTag::Image);
}

// Runs the window's load sequence over text into a new handle.
int Load(const std::string* text, const std::string& errorText, velor_image** out) {
    auto handle = std::make_unique<velor_image>(HandleTag::Image);
    ImageBody& body = *handle->body;
    int status = VELOR_OK;
    if (text == nullptr) {
        body.message = errorText;
        status = VELOR_E_FILE;
    } else {
        velor::MainWindowModel form;
        velor::lib::LibHost host;
        form.TextTerminal.SetText(*text);
        try {
            if (!velor::PrepareFirmware(form, host, body.image)) {
                body.message = host.LastMessage();
                body.line = static_cast<int64_t>(velor::LineNumberOf(body.message));
                status = VELOR_E_REFUSED_TEXT;
            }
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            body.message = velor::ErrorBoxText(e.what());
            status = VELOR_E_REFUSED_TEXT;
        }
    }
    if (status == VELOR_OK && body.image) {
        body.sha256 = velor::ImageSha256(*body.image);
        const auto ranges = body.image->CoveredRanges();
        body.size = ranges.empty() ? 0 : ranges.back().Last + 1;
    } else {
        body.image.reset();
    }
    *out = handle.release();
    return status;
}

}  // namespace

extern "C" {

int velor_image_load(const char* path, velor_image** out) {
    if (path == nullptr || out == nullptr) {
        return VELOR_E_NULL;
    }
    *out = nullptr;
    if (!velor::lib::IsUtf8(path)) {
        return VELOR_E_NOT_UTF8;
    }
    try {
        std::string text;
        try {
            text = velor::ReadTextFile(path);
        } catch (const velor::EFOpenError& e) {
            return Load(nullptr, velor::ErrorBoxText(e.what()), out);
        }
        return Load(&text, {}, out);
    } catch (...) {
        return VELOR_E_INTERNAL;
    }
}

int velor_image_load_text(const char* text, size_t size, velor_image** out) {
    if ((text == nullptr && size > 0) || out == nullptr) {
        return VELOR_E_NULL;
    }
    *out = nullptr;
    try {
        const std::string copy = size > 0 ? std::string(text, size) : std::string();
        return Load(&copy, {}, out);
    } catch (...) {
        return VELOR_E_INTERNAL;
    }
}

int velor_image_embedded(velor_image** out) {
    if (out == nullptr) {
        return VELOR_E_NULL;
    }
    *out = nullptr;
    try {
        const std::string text(velor::EmbeddedReleaseText());
        return Load(&text, {}, out);
    } catch (...) {
        return VELOR_E_INTERNAL;
    }
}

const char* velor_image_sha256(const velor_image* image) {
    const ImageBody* body = Body(image);
    return body ? body->sha256.c_str() : "";
}

int64_t velor_image_size(const velor_image* image) {
    const ImageBody* body = Body(image);
    return body ? body->size : 0;
}

const char* velor_image_message(const velor_image* image) {
    const ImageBody* body = Body(image);
    return body ? body->message.c_str() : "";
}

int64_t velor_image_line(const velor_image* image) {
    const ImageBody* body = Body(image);
    return body ? body->line : 0;
}

int velor_image_ok(const velor_image* image) {
    const ImageBody* body = Body(image);
    return body && body->image ? 1 : 0;
}

void velor_image_free(velor_image* image) {
    if (Body(image) != nullptr) {
        velor::lib::FreeHandle(image);
    }
}

}  // extern "C"
