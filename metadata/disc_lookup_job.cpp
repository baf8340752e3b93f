#include "metadata/disc_lookup_job.h"

#include <optional>

#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "metadata/cddb_client.h"
#include "metadata/disc_id.h"
#include "metadata/disc_record.h"
#include "metadata/local_disc_database.h"
#include "metadata/musicbrainz_disc_id.h"
#include "platform/text_encoding.h"

namespace lumbra {
namespace {

// What the lookup needs of the drive, taken before any network exchange so the drive is free
// during it. Computing the disc ID also records the disc in the recent-disc table, which the
// text of a local entry takes its frame offsets from.
struct IdentifiedDisc {
    DiscIdResult id{};
    uint32_t localKey = 0;
    std::optional<MusicBrainzToc> audioSession;
};

std::optional<IdentifiedDisc> identifyDisc(int handle) {
    IdentifiedDisc disc;
    if (computeDiscId(handle, disc.id) != kResultDone) return std::nullopt;
    disc.localKey = localDiscKey(handle);
    TocBuffer toc{};
    // The local key has left the handle in MSF form.
    if (readDiscToc(handle, toc) == kResultDone) disc.audioSession = musicBrainzToc(toc, true);
    return disc;
}

// The first release's text, filed in the local database like a CDDB entry so that the next
// lookup needs no network; empty when MusicBrainz knows none.
std::string musicBrainzText(const CddbConfig& config, const MusicBrainzConfig& musicBrainz,
                            const IdentifiedDisc& disc, const std::atomic<bool>& wanted) {
    if (!musicBrainz.enabled || !disc.audioSession) return {};
    const auto releases = lookUpMusicBrainz(musicBrainz, *disc.audioSession);
    if (releases.empty() || !wanted) return {};
    const MusicBrainzRelease& release = releases.front();
    std::string text =
        platform::utf8Prefix(musicBrainzDiscInfoText(release, disc.id[0]), kLookupTextCapacity - 1);
    if (config.useLocalDatabase) {
        // The database files an entry's genre from its category.
        const CddbMatch match{musicBrainzGenre(release), discIdText(disc.id[0]),
                              musicBrainzArtistField(release.artist), release.title};
        storeLocalEntry(config.localDatabaseFile, match, text);
    }
    return text;
}

std::optional<std::string> localDatabaseText(const CddbConfig& config, const IdentifiedDisc& disc) {
    const uint32_t localKey = disc.localKey;
    if (!hasLocalEntry(config.localDatabaseFile, localKey, disc.id)) return std::nullopt;
    const CddbMatch local = localEntryMatch(localKey);
    std::string text;
    if (readLocalEntry(config.localDatabaseFile, local, text, kLookupTextCapacity) != kResultDone) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

int LookupHandle::open(const OpenDriveRequest& drive) {
    const std::lock_guard lock(openMutex_);
    return stopped_ ? 0 : handle_.open(drive);
}

void LookupHandle::stop() {
    const std::lock_guard lock(openMutex_);
    stopped_ = true;
    handle_.release();
}

std::string runDiscLookup(const CddbConfig& config, const OpenDriveRequest& drive,
                          LookupHandle& handle, const std::atomic<bool>& wanted,
                          const MusicBrainzConfig* musicBrainz) {
    if (!wanted) return {};
    if (handle.open(drive) <= 0) return {};
    const auto disc = identifyDisc(handle.get());
    handle.release();
    if (!disc) return {};
    if (config.useLocalDatabase) {
        if (auto text = localDatabaseText(config, *disc)) return std::move(*text);
    }
    if (musicBrainz && wanted) {
        if (std::string text = musicBrainzText(config, *musicBrainz, *disc, wanted);
            !text.empty()) {
            return text;
        }
    }
    if (!wanted) return {};
    CddbMatchList matches;
    const int queried = cddbQuery(config, disc->id, disc->localKey, matches, kLookupMatchCapacity);
    // When several entries match, the first in the server's order is taken without asking.
    if (queried != kResultDone || matches.empty() || !wanted) return {};
    std::string text;
    if (cddbRead(config, matches.front(), text, kLookupTextCapacity) != kResultDone) return {};
    return text;
}

}  // namespace lumbra
