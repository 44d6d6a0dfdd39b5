#include "cli/output/JsonEvents.h"

#include <cmath>
#include <exception>
#include <mutex>
#include <nlohmann/json.hpp>

#include "protocol/ReleaseGate.h"

namespace velor::cli {

namespace {

// UTF-8 kept as it is, control characters escaped, an invalid byte replaced by U+FFFD.
std::string Dump(const nlohmann::ordered_json& value) {
    std::string text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    // DEL is no JSON control character but is a terminal's; in UTF-8 it is never part of another
    // character, and outside strings JSON has none.
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\x7f') {
            out += "\\u007f";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

struct JsonObject::Fields {
    nlohmann::ordered_json value = nlohmann::ordered_json::object();
};

std::string JsonString(const std::string& text) {
    return Dump(nlohmann::ordered_json(text));
}

JsonObject::JsonObject() : m_fields(std::make_unique<Fields>()) {}
JsonObject::~JsonObject() = default;
JsonObject::JsonObject(JsonObject&&) noexcept = default;
JsonObject& JsonObject::operator=(JsonObject&&) noexcept = default;
JsonObject::JsonObject(const JsonObject& other)
    : m_fields(std::make_unique<Fields>(*other.m_fields)) {}
JsonObject& JsonObject::operator=(const JsonObject& other) {
    m_fields = std::make_unique<Fields>(*other.m_fields);
    return *this;
}

JsonObject& JsonObject::Add(const std::string& key, const std::string& value) {
    m_fields->value[key] = value;
    return *this;
}

JsonObject& JsonObject::Add(const std::string& key, const char* value) {
    return Add(key, std::string(value));
}

JsonObject& JsonObject::Add(const std::string& key, int64_t value) {
    m_fields->value[key] = value;
    return *this;
}

JsonObject& JsonObject::AddFlag(const std::string& key, bool value) {
    m_fields->value[key] = value;
    return *this;
}

JsonObject& JsonObject::AddSeconds(const std::string& key, std::optional<double> seconds) {
    if (!seconds || !std::isfinite(*seconds)) {
        m_fields->value[key] = nullptr;
    } else {
        // The shortest text of the rounded number has one decimal: 17.9, 18.0.
        m_fields->value[key] = std::round(*seconds * 10.0) / 10.0;
    }
    return *this;
}

JsonObject& JsonObject::AddObjects(const std::string& key, const std::vector<JsonObject>& items) {
    auto list = nlohmann::ordered_json::array();
    for (const auto& item : items) {
        list.push_back(item.m_fields->value);
    }
    m_fields->value[key] = std::move(list);
    return *this;
}

bool JsonObject::Has(const std::string& key) const {
    return m_fields->value.contains(key);
}

std::string JsonObject::Text() const {
    return Dump(m_fields->value);
}

void PrintEvent(std::FILE* out, const JsonObject& event) {
    static std::mutex lineMutex;
    const std::string line = event.Text() + "\n";
    const std::lock_guard<std::mutex> lock(lineMutex);
    std::fwrite(line.data(), 1, line.size(), out);
    std::fflush(out);
}

JsonEvent StoppingEvent(const std::string& notice) {
    JsonEvent event("stopping");
    event.Add("text", notice);
    return event;
}

void AddProgress(JsonObject& event, const WriteProgress& p) {
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

void AddDevice(JsonObject& event, const DeviceIdentified& device) {
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
