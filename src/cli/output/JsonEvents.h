#pragma once
// The JSON Lines events of velor-flash --json: one object a line, for production-line software.
// docs/json-events.md describes every event and field. Whatever bytes a text holds (a file name
// in another encoding, a device's odd description), the line is valid UTF-8: an invalid byte
// becomes U+FFFD.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/output/WriteProgress.h"
#include "protocol/SessionEvents.h"

namespace velor::cli {

// A JSON string literal, quotes included; control characters escaped, invalid UTF-8 replaced.
std::string JsonString(const std::string& text);

// One JSON object, its fields in the order added.
class JsonObject {
  public:
    JsonObject();
    ~JsonObject();
    JsonObject(JsonObject&&) noexcept;
    JsonObject& operator=(JsonObject&&) noexcept;
    JsonObject(const JsonObject& other);
    JsonObject& operator=(const JsonObject& other);

    JsonObject& Add(const std::string& key, const std::string& value);
    JsonObject& Add(const std::string& key, const char* value);
    JsonObject& Add(const std::string& key, int64_t value);
    JsonObject& Add(const std::string& key, int value) { return Add(key, int64_t{value}); }
    JsonObject& AddFlag(const std::string& key, bool value);
    // A number with one decimal, or null.
    JsonObject& AddSeconds(const std::string& key, std::optional<double> seconds);
    JsonObject& AddObjects(const std::string& key, const std::vector<JsonObject>& items);
    // Whether the object has the field already.
    bool Has(const std::string& key) const;
    // The object on one line, without a line feed.
    std::string Text() const;

  private:
    struct Fields;
    std::unique_ptr<Fields> m_fields;
};

// One event object: {"event":"...", ...}.
class JsonEvent : public JsonObject {
  public:
    explicit JsonEvent(const std::string& event) { Add("event", event); }

    JsonEvent& Add(const std::string& key, const std::string& value) {
        JsonObject::Add(key, value);
        return *this;
    }
    JsonEvent& Add(const std::string& key, const char* value) {
        JsonObject::Add(key, value);
        return *this;
    }
    JsonEvent& Add(const std::string& key, int64_t value) {
        JsonObject::Add(key, value);
        return *this;
    }
    JsonEvent& Add(const std::string& key, int value) { return Add(key, int64_t{value}); }
    JsonEvent& AddFlag(const std::string& key, bool value) {
        JsonObject::AddFlag(key, value);
        return *this;
    }
    JsonEvent& AddSeconds(const std::string& key, std::optional<double> seconds) {
        JsonObject::AddSeconds(key, seconds);
        return *this;
    }
};

// Writes the event as one whole line and flushes it. Several threads may print events to the
// same stream: one line at a time, never two mixed.
void PrintEvent(std::FILE* out, const JsonObject& event);

// The "stopping" event of a stop request: the notice said on stderr, in the event stream as well.
JsonEvent StoppingEvent(const std::string& notice);

// The identified device's fields (bootloader version, geometry, release), added to an event.
void AddDevice(JsonObject& event, const DeviceIdentified& device);

// The progress fields of a write, added to an event.
void AddProgress(JsonObject& event, const WriteProgress& progress);

}  // namespace velor::cli
