// Opening and closing a drive's tray.
#pragma once

#include <string>

#include "cdaccess/shared_cd_state.h"

namespace lumbra {

// Opens (ejects) or closes the tray of the drive behind `handle`: 1, or 4 with last error -7,
// -11 or -4 as for any command. Before opening it allows medium removal, which desktops lock.
int moveTray(int handle, bool open);
// The same through a handle of its own, released at once: true when the tray moved.
bool moveTrayOf(const OpenDriveRequest& drive, bool open);

// Why the last refused tray move of this process was refused, for the user to read; empty when
// the last move succeeded or none was made.
std::string trayRefusalText();

}  // namespace lumbra
