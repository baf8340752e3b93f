// The local disc database, cdinfo.db: an INI file with one section per disc once read from a CDDB
// server, named by the disc's local key ("%X"), so the disc is recognised again without a network.
// Reading an entry gives the same disc information text as a CDDB read. The path is the file's
// own; its folder must exist.
//
// Many discs share a local key (every one-track disc has the same), so a section also holds the
// frame offsets and length of the disc it was filed for ("offsets"), and is used only for that
// disc. A section without them, as older programs wrote, cannot show which disc it describes and
// is not used; the next lookup at the server files it again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "metadata/cddb_match.h"
#include "metadata/disc_id.h"

namespace lumbra {

// True when the section of `localKey` has a positive "numtracks" and describes `disc`, the disc
// in the drive: the same track count, frame offsets and length.
bool hasLocalEntry(const std::string& databasePath, uint32_t localKey, const DiscIdResult& disc);

// The match that stands for the entry of the disc with `localKey`, as a lookup hands it to
// readLocalEntry.
CddbMatch localEntryMatch(uint32_t localKey);

// Rebuilds the disc information text of the disc whose local key `match.discId` holds in
// hexadecimal, for an output buffer of `capacity` bytes including its terminating zero: a piece
// that would not fit is left out. Returns 1; 4, with `text` untouched, when the section has no
// tracks or the disc it describes is not in the recent-disc table, which supplies the frame
// offsets.
int readLocalEntry(const std::string& databasePath, const CddbMatch& match, std::string& text,
                   size_t capacity);

// Files the entry text of a CDDB read for `match` under the local key that the recent-disc table
// gives for the match's disc ID; without a table entry nothing is stored. Write failures are
// silent, since the fetched text is used either way. Programs storing at the same time take
// turns (a lock file beside the database), so none loses another's entry.
void storeLocalEntry(const std::string& databasePath, const CddbMatch& match,
                     std::string_view entryText);

}  // namespace lumbra
