// Turning the disc in a drive into the track list, and noticing a changed disc.
#pragma once

#include <vector>

#include "cdaccess/drive_discovery.h"
#include "metadata/track_entry.h"
#include "platform/prompts.h"
#include "settings/settings_record.h"

namespace lumbra {

inline constexpr const char* kNoDriveMessage = "无法找到任何 CD-ROM 驱动器";
inline constexpr const char* kNoDiscMessage = "无法在您的 CD-ROM 驱动器中找到任何 CD";
inline constexpr const char* kDriveBusyMessage = "CD-ROM 驱动器正被另一个程序使用，请稍后再试。";

// Reads the table of contents of drive `driveIndex`, stores it, the disc ID and the disc's
// CD-Text and codes in the drive's entry and rebuilds `tracks` (one entry per track, default
// format and its encoder settings, its ISRC).
// Returns 0, or -1 after telling `prompts` (the no-disc message only when `report` is set). A
// table of contents that cannot describe a disc counts as no disc.
int refreshDisc(Prompts& prompts, std::vector<DriveEntry>& drives, int driveIndex,
                std::vector<TrackEntry>& tracks, const SettingsRecord& settings, bool report);

// The disc ID of the disc now in the drive, or -1 when no table of contents can be read.
int64_t readCurrentDiscId(const DriveEntry& drive);

}  // namespace lumbra
