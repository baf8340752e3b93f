#include "app/settings_store.h"

#include "app/settings_keys.h"
#include "platform/profile_file.h"

namespace lumbra {

namespace pf = lumbra::platform;

std::string settingsPath(const std::string& programHome) { return programHome + "/setup.ini"; }

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
    // Once the file has held a password it stays readable by its owner only.
    const bool secret = key == keys::kProxyPassword && !text.empty() && text != "0";
    return pf::profileWriteString(path_, section, key, text,
                                  secret ? pf::FileAccess::Private : pf::FileAccess::Shared);
}

bool SettingsStore::deleteKey(std::string_view section, std::string_view key) const {
    return pf::profileDeleteKey(path_, section, key);
}

}  // namespace lumbra
