#include "settings/settings_backend.h"

namespace lumbra {

FileSettings::FileSettings(std::string path)
    : file_(std::move(path), kMaxSettingsFileBytes, platform::FileAccess::Private) {}

MemorySettings::MemorySettings(std::string text)
    : text_(std::make_unique<platform::ProfileIndex>(std::move(text))) {}

bool MemorySettings::edit(const SettingsEdit& edit) {
    text_ = std::make_unique<platform::ProfileIndex>(edit(text_->text()));
    return true;
}

}  // namespace lumbra
