// One match of a CDDB query: which database entry may describe the disc.
#pragma once

#include <string>
#include <vector>

namespace lumbra {

// The category of entries that come from the local disc database.
inline constexpr const char* kLocalDatabaseCategory = "cdplayerini";

struct CddbMatch {
    std::string category;  // up to 11 characters, such as rock or misc
    std::string discId;    // up to 8 hexadecimal digits; the local key for a local entry
    std::string artist;    // up to 80 characters
    std::string title;     // up to 80 characters
};

using CddbMatchList = std::vector<CddbMatch>;

}  // namespace lumbra
