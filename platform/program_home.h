// Where the program keeps setup.ini, "My Music", "Local CDDB" and its help file.
#pragma once

#include <string>

namespace lumbra::platform {

// The program home as a native path without a trailing slash: `chosen` when not empty (a front
// end's option); else $LUMBRA_HOME when set; else the executable's folder when it is writable and
// not an installed program's (a build folder or a portable install); else userConfigFolder(),
// created when missing.
std::string programHome(const std::string& chosen = {});

// $XDG_CONFIG_HOME/lumbra-cdripper when that names an absolute path, else
// ~/.config/lumbra-cdripper, where ~ is $HOME or, without it, the user's home folder in the
// password database. Not created here.
std::string userConfigFolder();

// The folders the settings start with for the rips and the local disc database. An installed
// program keeps setup.ini in the user's hidden configuration folder, which is no place for music
// nobody could find: its defaults are the user's music folder (XDG_MUSIC_DIR of user-dirs.dirs,
// else ~/Music) and $XDG_DATA_HOME/lumbra-cdripper/Local CDDB. Any other program home (a build
// folder, --home, LUMBRA_HOME) holds "My Music" and "Local CDDB" itself.
struct DefaultFolders {
    std::string output;
    std::string localDatabase;
};
DefaultFolders defaultFolders(const std::string& programHome);

// The folder of the running executable, without a trailing slash.
std::string executableFolder();

}  // namespace lumbra::platform
