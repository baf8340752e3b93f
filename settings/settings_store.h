// setup.ini in the program home, read and written key by key.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_backend.h"
#include "settings/settings_keys.h"

namespace lumbra {

// The path of setup.ini inside a program home folder (a native path).
std::string settingsPath(const std::string& programHome);

// What the user is told once at start-up about the settings file at `path`, or nothing when it
// is usable or absent: one that is not a regular file (a FIFO, a folder) or is larger than
// kMaxSettingsFileBytes is neither read nor replaced, so the defaults hold; one this user may not
// write is left as it is, so changes of this run are not stored.
std::optional<std::string> settingsFileNotice(const std::string& path);

// Reads and writes go through a backend and come from one thread at a time.
class SettingsStore {
public:
    // setup.ini at `path`.
    explicit SettingsStore(std::string path);
    explicit SettingsStore(std::unique_ptr<SettingsBackend> backend);
    // Settings in memory only, starting from the INI text `text`.
    static SettingsStore inMemory(std::string text = {});

    // The file's path; empty for settings in memory.
    const std::string& path() const { return path_; }
    // The whole stored INI text.
    std::string text() const { return backend_->current().text(); }
    // Makes the next read see the stored settings as they are now: a load starts with it, so
    // that it reads the file once, and reads what is there.
    void refresh() const { backend_->refresh(); }

    // The stored value, or `defaultValue` when file, section or key is missing. Text that is not
    // a number reads as its leading digits, or 0; strings are cut to 255 bytes.
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // Writes one key, keeping every other line of the file. Integers are written with "%d".
    // Returns false when the file could not be written.
    bool writeInt(std::string_view section, std::string_view key, int value) const;
    bool writeString(std::string_view section, std::string_view key, std::string_view text) const;
    bool deleteKey(std::string_view section, std::string_view key) const;

    int read(const keys::IntKey& key) const {
        return readInt(key.section, key.name, key.defaultValue);
    }
    std::string read(const keys::StringKey& key) const {
        return readString(key.section, key.name, key.defaultValue);
    }
    bool write(const keys::IntKey& key, int value) const {
        return writeInt(key.section, key.name, value);
    }
    bool write(const keys::StringKey& key, std::string_view text) const {
        return writeString(key.section, key.name, text);
    }

private:
    std::string path_;
    std::unique_ptr<SettingsBackend> backend_;
};

}  // namespace lumbra
