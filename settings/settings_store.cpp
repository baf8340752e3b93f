#include "settings/settings_store.h"

#include "platform/profile_file.h"
#include "settings/settings_keys.h"

namespace lumbra {

namespace pf = lumbra::platform;

std::string settingsPath(const std::string& programHome) {
    return programHome + "/setup.ini";
}

std::optional<std::string> settingsFileNotice(const std::string& path) {
    switch (pf::storedFileState(path)) {
        case pf::StoredFileState::NotRegular:
            return path + " 不是普通文件，不会被读取。本次运行使用默认设置，设置的更改不会被保存。";
        case pf::StoredFileState::ReadOnly:
            return "无法写入 " + path + "。本次运行中设置的更改不会被保存。";
        case pf::StoredFileState::Absent:
        case pf::StoredFileState::Usable:
            break;
    }
    return std::nullopt;
}

int SettingsStore::readInt(std::string_view section, std::string_view key, int defaultValue) const {
    return pf::profileReadInt(path_, section, key, defaultValue);
}

std::string SettingsStore::readString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue) const {
    return pf::profileReadString(path_, section, key, defaultValue);
}

bool SettingsStore::writeInt(std::string_view section, std::string_view key, int value) const {
    return writeString(section, key, std::to_string(value));
}

bool SettingsStore::writeString(std::string_view section, std::string_view key,
                                std::string_view text) const {
    // The file can hold the proxy password, so no other local user may read it; once it has
    // held one it is made owner-only again whatever its mode was.
    const bool secret = key == keys::kProxyPassword && !text.empty() && text != "0";
    return pf::profileWriteString(path_, section, key, text,
                                  secret ? pf::FileAccess::Private : pf::FileAccess::OwnerOnly);
}

bool SettingsStore::deleteKey(std::string_view section, std::string_view key) const {
    return pf::profileDeleteKey(path_, section, key);
}

}  // namespace lumbra
