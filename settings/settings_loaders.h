// Start-up loading of setup.ini into the settings record, group by group, doing to the file and
// the record exactly what the general, encoder and CDDB pages do when they are created. The GUI
// pages and the command-line front end both load through these, so both see the same settings.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "settings/cddb_server_list.h"
#include "settings/settings_record.h"
#include "settings/settings_store.h"

namespace lumbra {

// Output template (written back at once), output folder (its default folder, written at once
// when unset), tag, overwrite, anti-crackle, test and copy and jitter
// mode.
void loadGeneralSettings(const SettingsStore& store, SettingsRecord& record,
                         const std::string& programHome);

// Every encoder key into `record.encoder` (and its track-dialog copy) as the page's controls
// hand them back: an index its list cannot show becomes -1, a check box reads 0 or 1, the Ogg
// quality is held to 0..20. Returns EFFECTIVE.
bool loadEncoderSettings(const SettingsStore& store, SettingsRecord& record);

// The server list (seeding the default server when none is configured), the local database folder
// (its default folder, written at once when unset), lookup and proxy settings. The
// current server becomes the first of the list.
std::vector<CddbServer> loadCddbSettings(const SettingsStore& store, SettingsRecord& record,
                                         const std::string& programHome);

// The AccurateRip lookup's switch and server, each written back at once so that setup.ini shows
// them from the first start on.
void loadAccurateRipSettings(const SettingsStore& store, SettingsRecord& record);

// The read offset of each drive model, held to the offsets drives have.
void loadReadOffsets(const SettingsStore& store, SettingsRecord& record,
                     std::span<const std::string> models);

// The MusicBrainz and cover art switches and servers, written back at once like AccurateRip's.
void loadMusicBrainzSettings(const SettingsStore& store, SettingsRecord& record);

struct LoadedSettings {
    bool applyEncoderToListedTracks = true;  // EFFECTIVE
    std::vector<CddbServer> cddbServers;
};

// The groups in the order the pages are created, then the AccurateRip and MusicBrainz
// lookups'.
LoadedSettings loadAllSettings(const SettingsStore& store, SettingsRecord& record,
                               const std::string& programHome);

}  // namespace lumbra
