// Front covers kept beside the local disc database, so that a disc once looked up has its cover
// on the next, offline, lookup: one file per release, named by its MBID, in the folder "covers"
// next to the database file.
#pragma once

#include <string>
#include <string_view>

#include "metadata/cddb_config.h"
#include "metadata/musicbrainz_client.h"

namespace lumbra {

inline constexpr const char* kCoverFolderName = "covers";

// The covers folder beside the database file at `databasePath` (a native path).
std::string coverFolderBeside(const std::string& databasePath);

// True for the bytes of a JPEG or PNG image, by their signature.
bool isCoverImage(std::string_view bytes);

// The release's cover kept in `folder`; empty when none is, `releaseId` is no MBID, or the file
// is larger than kCoverArtLimit or holds no JPEG or PNG image.
std::string storedCover(const std::string& folder, const std::string& releaseId);

// Keeps the cover in `folder`, made when missing, replacing what was there; a cover that is no
// image or too large, a `releaseId` that is no MBID and a failed write keep nothing.
void storeCover(const std::string& folder, const std::string& releaseId, std::string_view cover);

// The release's front cover: the one kept beside the local database when that is in use, else
// the archive's, which is then kept there. Empty when there is neither.
std::string lookUpFrontCover(const CddbConfig& cddb, const MusicBrainzConfig& musicBrainz,
                             const std::string& releaseId);

}  // namespace lumbra
