// The local disc database, cdinfo.db: an INI file with one section per disc once read from a CDDB
// server, named by the disc's local key ("%X"), so the disc is recognised again without a network.
// Reading an entry gives the same disc information text as a CDDB read. The path is the file's
// own; its folder must exist.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "metadata/cddb_match.h"

namespace lumbra {

// True when the section of `localKey` has a positive "numtracks".
bool hasLocalEntry(const std::string& databasePath, uint32_t localKey);

// Rebuilds the disc information text of the disc whose local key `match.discId` holds in
// hexadecimal, for an output buffer of `capacity` bytes including its terminating zero: a piece
// that would not fit is left out. Returns 1; 4, with `text` untouched, when the section has no
// tracks or the disc is not in the recent-disc table, which supplies the frame offsets.
int readLocalEntry(const std::string& databasePath, const CddbMatch& match, std::string& text,
                   size_t capacity);

// Files the entry text of a CDDB read for `match` under the local key that the recent-disc table
// gives for the match's disc ID; without a table entry nothing is stored. Write failures are
// silent, since the fetched text is used either way.
void storeLocalEntry(const std::string& databasePath, const CddbMatch& match,
                     std::string_view entryText);

}  // namespace lumbra
