#include "metadata/cover_store.h"

#include <filesystem>
#include <system_error>

#include "metadata/musicbrainz_reply.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"

namespace lumbra {
namespace {

std::string coverPath(const std::string& folder, const std::string& releaseId) {
    return folder + "/" + releaseId;
}

}  // namespace

std::string coverFolderBeside(const std::string& databasePath) {
    const size_t slash = databasePath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : databasePath.substr(0, slash);
    return folder + "/" + kCoverFolderName;
}

bool isCoverImage(std::string_view bytes) {
    return bytes.starts_with("\xFF\xD8\xFF") || bytes.starts_with("\x89PNG\r\n\x1A\n");
}

std::string storedCover(const std::string& folder, const std::string& releaseId) {
    // The ID comes from a text the user may have edited; only an MBID names a file of ours.
    if (!isMusicBrainzId(releaseId)) return {};
    const std::string path = coverPath(folder, releaseId);
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kCoverArtLimit) return {};
    std::string cover = platform::readWholeFile(path).value_or("");
    return cover.size() <= kCoverArtLimit && isCoverImage(cover) ? cover : std::string();
}

void storeCover(const std::string& folder, const std::string& releaseId, std::string_view cover) {
    if (!isMusicBrainzId(releaseId) || cover.size() > kCoverArtLimit || !isCoverImage(cover))
        return;
    if (!platform::ensureFolder(folder)) return;
    platform::replaceFileAtomically(coverPath(folder, releaseId), cover);
}

std::string lookUpFrontCover(const CddbConfig& cddb, const MusicBrainzConfig& musicBrainz,
                             const std::string& releaseId) {
    const std::string folder =
        cddb.useLocalDatabase ? coverFolderBeside(cddb.localDatabaseFile) : std::string();
    if (!folder.empty()) {
        if (std::string stored = storedCover(folder, releaseId); !stored.empty()) return stored;
    }
    std::string cover = fetchFrontCover(musicBrainz, releaseId);
    if (!folder.empty() && !cover.empty()) storeCover(folder, releaseId, cover);
    return cover;
}

}  // namespace lumbra
