// The disc lookup of lumbra-rip: asked for with --lookup, declined with --no-lookup, otherwise
// done when setup.ini turns automatic lookup on.
#pragma once

#include <cstdio>
#include <vector>

#include "app/settings_record.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/track_entry.h"
#include "cli/options.h"
#include "metadata/disc_record.h"

namespace lumbra::cli {

inline constexpr const char* kLookupStatus = "连接到 CDDB...";

bool lookupWanted(const Options& options, const SettingsRecord& settings);

// Looks the disc of `drive` up in the local database and at the current server of `settings`,
// showing kLookupStatus on `status` meanwhile, and applies what was found to `disc` and the
// titles of `tracks`. Without a result both stay as they are.
void lookUpDisc(const SettingsRecord& settings, const DriveEntry& drive, DiscRecord& disc,
                std::vector<TrackEntry>& tracks, std::FILE* status);

}  // namespace lumbra::cli
