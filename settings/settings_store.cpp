#include "settings/settings_store.h"

#include "platform/profile_file.h"
#include "platform/profile_text.h"
#include "settings/settings_keys.h"

namespace lumbra {

namespace pf = lumbra::platform;

std::string settingsPath(const std::string& programHome) {
    return programHome + "/setup.ini";
}

std::optional<std::string> settingsFileNotice(const std::string& path) {
    switch (pf::storedFileState(path, kMaxSettingsFileBytes)) {
        case pf::StoredFileState::NotRegular:
            return path + " 不是普通文件，不会被读取。本次运行使用默认设置，设置的更改不会被保存。";
        case pf::StoredFileState::TooLarge:
            return path + " 超过 1 MiB，不会被读取。本次运行使用默认设置，设置的更改不会被保存。";
        case pf::StoredFileState::ReadOnly:
            return "无法写入 " + path + "。本次运行中设置的更改不会被保存。";
        case pf::StoredFileState::Absent:
        case pf::StoredFileState::Usable:
            break;
    }
    return std::nullopt;
}

SettingsStore::SettingsStore(std::string path)
    : path_(path), backend_(std::make_unique<FileSettings>(std::move(path))) {}

SettingsStore::SettingsStore(std::unique_ptr<SettingsBackend> backend)
    : backend_(std::move(backend)) {}

SettingsStore SettingsStore::inMemory(std::string text) {
    return SettingsStore(std::make_unique<MemorySettings>(std::move(text)));
}

int SettingsStore::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    return pf::profileIntOf(backend_->current().find(section, key), defaultValue);
}

std::string SettingsStore::readString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const {
    return pf::profileStringOf(backend_->current().find(section, key), defaultValue);
}

bool SettingsStore::writeInt(std::string_view section, std::string_view key, int value) const {
    return writeString(section, key, std::to_string(value));
}

bool SettingsStore::writeString(std::string_view section, std::string_view key,
                                std::string_view text) const {
    return backend_->edit(
        [&](std::string_view stored) { return pf::setProfileValue(stored, section, key, text); });
}

bool SettingsStore::deleteKey(std::string_view section, std::string_view key) const {
    // A key that is not there needs no write, so deleting from an absent file creates none.
    const std::string& stored = backend_->current().text();
    if (pf::removeProfileKey(stored, section, key) == stored) return true;
    return backend_->edit(
        [&](std::string_view stored) { return pf::removeProfileKey(stored, section, key); });
}

}  // namespace lumbra
