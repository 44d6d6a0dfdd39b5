#include "ui/qt/eventsounds/DesktopSoundSettings.h"

#include <gio/gio.h>

namespace velor::ui {

namespace {

constexpr const char* kSchema = "org.gnome.desktop.sound";

// GLib objects released on every path.
template <typename T, void (*Release)(T*)>
class GPtr {
  public:
    explicit GPtr(T* p) : m_p(p) {}
    ~GPtr() {
        if (m_p != nullptr)
            Release(m_p);
    }
    GPtr(const GPtr&) = delete;
    GPtr& operator=(const GPtr&) = delete;
    T* get() const { return m_p; }

  private:
    T* m_p;
};

void UnrefObject(GSettings* settings) {
    g_object_unref(settings);
}

}  // namespace

DesktopSoundSettings ReadDesktopSoundSettings() {
    DesktopSoundSettings result;
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (source == nullptr) {
        return result;
    }
    // g_settings_new aborts the program for a schema that is not installed: look first.
    GPtr<GSettingsSchema, g_settings_schema_unref> schema(
        g_settings_schema_source_lookup(source, kSchema, TRUE));
    if (schema.get() == nullptr) {
        return result;
    }
    GPtr<GSettings, UnrefObject> settings(g_settings_new(kSchema));
    if (g_settings_schema_has_key(schema.get(), "event-sounds")) {
        result.EventSounds = g_settings_get_boolean(settings.get(), "event-sounds") != FALSE;
    }
    if (g_settings_schema_has_key(schema.get(), "theme-name")) {
        gchar* theme = g_settings_get_string(settings.get(), "theme-name");
        if (theme != nullptr && theme[0] != '\0') {
            result.Theme = theme;
        }
        g_free(theme);
    }
    return result;
}

}  // namespace velor::ui
