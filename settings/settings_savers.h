// Writing the settings record back to setup.ini, group by group, mirroring the loaders: a page
// copies its controls into the record and calls the saver for the moment at hand. Each saver
// writes its keys in a fixed order; failed writes are not reported, as the pages never did.
#pragma once

#include <string>

#include "settings/settings_record.h"
#include "settings/settings_store.h"

namespace lumbra {

// OUTPUT_FORMAT, at every edit of the naming template.
void saveNamingTemplate(const SettingsStore& store, const SettingsRecord& record);
// OUTPUT_FOLDER, when a folder is chosen.
void saveOutputFolder(const SettingsStore& store, const SettingsRecord& record);
// Jitter_Correction, when a mode is chosen.
void saveJitterMode(const SettingsStore& store, const SettingsRecord& record);
// The general page's apply: anti-crackle, ReplayGain, tag switch, overwrite, test and copy, output
// folder and jitter mode.
void saveGeneralSettings(const SettingsStore& store, const SettingsRecord& record);
// The read offset of one drive model, when it is set or detected; an offset of 0 leaves no key.
void saveReadOffset(const SettingsStore& store, const SettingsRecord& record,
                    const std::string& model);

// EFFECTIVE, then every encoder key from `record.encoder`.
void saveEncoderSettings(const SettingsStore& store, const SettingsRecord& record,
                         bool applyEncoderToListedTracks);

// CDDB_LOCALCDDB_PATH, when a local database folder is chosen.
void saveLocalDatabaseFolder(const SettingsStore& store, const SettingsRecord& record);
// The CDDB page's apply: local database, automatic lookup, proxy, hello address and the
// MusicBrainz and cover art switches. The password
// is stored only when the user asked for it to be saved ("0" otherwise).
void saveCddbSettings(const SettingsStore& store, const SettingsRecord& record);

}  // namespace lumbra
