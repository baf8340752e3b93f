// The drive named at start-up, by a user or by the desktop that saw an audio CD go in.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "cdaccess/drive_discovery.h"

namespace lumbra {

// The list position of the drive `device` names: "/dev/sr1", "sr1", a link to it such as
// "/dev/cdrom", the "cdda://sr1" or "cdda:///dev/sr1" forms that desktops pass, or a virtual
// drive's image name. None when no drive has that device.
std::optional<int> driveIndexForDevice(std::span<const DriveEntry> drives, std::string_view device);

}  // namespace lumbra
