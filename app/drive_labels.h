// What the drive box and the drive list call each drive.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "cdaccess/drive_discovery.h"

namespace lumbra {

// Each drive's description, followed by its device (or image) where another drive has the same
// description: two drives of one model, or two images, are otherwise one name twice.
std::vector<std::string> driveLabels(std::span<const DriveEntry> drives);

}  // namespace lumbra
