// The output path of each ripped track: the output folder exactly as the user chose it, then a
// name made from the naming template, in backslash form until it reaches the file system. The
// rip job prepares the folder once, then for each track prepares expandNamingTemplate's result
// and appends the extension of the track's format to its native path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "naming/naming_template.h"

namespace lumbra {

class OutputFolder {
public:
    // `folder` is a native path, used as given; "" is the current folder.
    explicit OutputFolder(std::string_view folder);

    // Creates the folder and its missing parents. 1, or 0 with the two-line message naming the
    // folder that could not be made and why in `message` (when not null).
    int prepare(std::string* message) const;

    // Tidies `name` (an expanded template, backslash form) in place into a name inside the
    // folder and creates the folders along it (everything up to its last backslash). 1, or 0
    // with the two-line message in `message` (when not null), as prepare's.
    int prepareOutputPath(std::string& name, std::string* message) const;

    // The native path of a tidied name inside the folder.
    std::string nativePath(std::string_view name) const;

private:
    std::string folder_;  // "" or ending with "/"
};

}  // namespace lumbra
