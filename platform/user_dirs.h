// The user's well-known folders as the desktop's user-dirs.dirs names them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumbra::platform {

// The value of `key` (such as XDG_MUSIC_DIR) in the text of a user-dirs.dirs file: a quoted
// "$HOME/..." or absolute path, with $HOME replaced by `home`. None when the key is missing, its
// value is malformed or relative, or it is the home folder itself (which the desktop writes to
// mean that the folder is turned off).
std::optional<std::string> userDirFromText(std::string_view text, std::string_view key,
                                           std::string_view home);

}  // namespace lumbra::platform
