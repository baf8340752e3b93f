// The AccurateRip client's configuration from the settings: the database's server, the CDDB
// lookup's proxy and time-outs, and a cache folder beside the local disc database.
#pragma once

#include "metadata/accuraterip_client.h"
#include "settings/settings_record.h"

namespace lumbra {

// The cache's folder inside the local disc database's folder.
inline constexpr const char* kAccurateRipCacheFolderName = "AccurateRip";

AccurateRipConfig accurateRipClientConfig(const SettingsRecord& settings,
                                          const CddbTimeouts& timeouts);

}  // namespace lumbra
