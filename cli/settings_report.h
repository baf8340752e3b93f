// The loaded settings as text lines, for `lumbra-rip --settings`.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_loaders.h"

namespace lumbra::cli {

std::string settingsReport(const SettingsRecord& record, const LoadedSettings& loaded);

}  // namespace lumbra::cli
