#include "cli/output/JsonEvents.h"

#include <cmath>
#include <cstdio>
#include <exception>

#include "protocol/ReleaseGate.h"

namespace velor::cli {

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20 || u == 0x7f) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// Appended piece by piece: GCC 12 at -O3 sees a false overlap in "literal" + string.
JsonEvent::JsonEvent(const std::string& event) : m_text("{\"event\":") {
    m_text += JsonString(event);
}

void JsonEvent::Key(const std::string& key) {
    m_text += ',';
    m_text += JsonString(key);
    m_text += ':';
}

JsonEvent& JsonEvent::Add(const std::string& key, const std::string& value) {
    Key(key);
    m_text += JsonString(value);
    return *this;
}

JsonEvent& JsonEvent::Add(const std::string& key, const char* value) {
    return Add(key, std::string(value));
}

JsonEvent& JsonEvent::Add(const std::string& key, int64_t value) {
    Key(key);
    m_text += std::to_string(value);
    return *this;
}

JsonEvent& JsonEvent::AddFlag(const std::string& key, bool value) {
    Key(key);
    m_text += value ? "true" : "false";
    return *this;
}

JsonEvent& JsonEvent::AddSeconds(const std::string& key, std::optional<double> seconds) {
    Key(key);
    if (!seconds || !std::isfinite(*seconds)) {
        m_text += "null";
        return *this;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", *seconds);
    m_text += buffer;
    return *this;
}

void AddProgress(JsonEvent& event, const WriteProgress& p) {
    event.Add("pages_done", p.PagesDone)
        .Add("pages", p.Pages)
        .Add("blocks_done", p.BlocksDone)
        .Add("blocks_per_page", p.BlocksPerPage)
        .Add("bytes", p.Bytes)
        .Add("bytes_total", p.BytesTotal)
        .Add("percent", p.Percent())
        .Add("failed_attempts", p.FailedAttempts)
        .Add("calibration", p.Calibration);
}

void AddDevice(JsonEvent& event, const DeviceIdentified& device) {
    event.Add("bootloader_version", device.BootloaderVersion)
        .Add("device_pages", device.Pages)
        .Add("device_blocks_per_page", device.BlocksPerPage)
        .Add("device_block_size", device.BlockSize);
    // A description the release gate reads as a release is one; a text of the stamp's length
    // that is no number is not.
    try {
        if (CheckRelease(device.Description) != ReleaseVerdict::Unknown) {
            event.Add("release", device.Description);
        }
    } catch (const std::exception&) {
    }
}

}  // namespace velor::cli
