// Which read offset a rip corrects by, and what the user is told when the offset is looked for.
#pragma once

#include <cstdint>
#include <optional>

#include "cdaccess/drive_discovery.h"
#include "platform/prompts.h"
#include "rip/offset_detection.h"
#include "settings/settings_record.h"

namespace lumbra {

// This run's offset when one is given, else the one stored for the drive's model, else 0.
int32_t readOffsetOf(const SettingsRecord& settings, const DriveEntry& drive);

// Tells the user what the search found. For a found offset (the best candidate) it asks whether
// to store it and returns it when the answer is Yes; otherwise it explains why there is none.
// Nothing is shown for a stopped search.
std::optional<int32_t> offerFoundOffset(Prompts& prompts, const OffsetDetection& detection);

}  // namespace lumbra
