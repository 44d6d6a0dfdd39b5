#pragma once
// The JSON Lines events of velor-flash --json: one object a line, for production-line software.
// docs/json-events.md describes every event and field.

#include <optional>
#include <string>

#include "cli/output/WriteProgress.h"
#include "protocol/SessionEvents.h"

namespace velor::cli {

// A JSON string literal, quotes included; control characters escaped, other bytes as they are.
std::string JsonString(const std::string& text);

// Builds one event object: {"event":"...", ...} without a line feed.
class JsonEvent {
  public:
    explicit JsonEvent(const std::string& event);
    JsonEvent& Add(const std::string& key, const std::string& value);
    JsonEvent& Add(const std::string& key, const char* value);
    JsonEvent& Add(const std::string& key, int64_t value);
    JsonEvent& Add(const std::string& key, int value) { return Add(key, int64_t{value}); }
    JsonEvent& AddFlag(const std::string& key, bool value);
    // A number with one decimal, or null.
    JsonEvent& AddSeconds(const std::string& key, std::optional<double> seconds);
    std::string Text() const { return m_text + "}"; }

  private:
    void Key(const std::string& key);
    std::string m_text;
};

// The identified device's fields (bootloader version, geometry, release), added to an event.
void AddDevice(JsonEvent& event, const DeviceIdentified& device);

// The progress fields of a write, added to an event.
void AddProgress(JsonEvent& event, const WriteProgress& progress);

}  // namespace velor::cli
