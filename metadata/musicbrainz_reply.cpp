#include "metadata/musicbrainz_reply.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

#include "metadata/disc_record.h"
#include "metadata/track_credits.h"

namespace lumbra {
namespace {

using Json = nlohmann::json;

constexpr std::string_view kReleaseKey = "MBRELEASE=";

const Json& member(const Json& object, const char* key) {
    static const Json kNull;
    if (!object.is_object()) return kNull;
    const auto it = object.find(key);
    return it == object.end() ? kNull : *it;
}

std::string text(const Json& object, const char* key) {
    const Json& value = member(object, key);
    return value.is_string() ? value.get<std::string>() : std::string();
}

// Each credited name followed by its join phrase: "A feat. B", "A & B".
std::string joinedCredit(const Json& owner) {
    std::string out;
    const Json& credits = member(owner, "artist-credit");
    if (!credits.is_array()) return out;
    for (const Json& credit : credits) {
        std::string name = text(credit, "name");
        if (name.empty()) name = text(member(credit, "artist"), "name");
        out += name + text(credit, "joinphrase");
    }
    return out;
}

std::string yearOf(const std::string& date) {
    const bool digits = date.size() >= 4 && std::all_of(date.begin(), date.begin() + 4, [](char c) {
                            return c >= '0' && c <= '9';
                        });
    return digits ? date.substr(0, 4) : std::string();
}

bool carriesDisc(const Json& medium, std::string_view discId) {
    const Json& discs = member(medium, "discs");
    if (!discs.is_array()) return false;
    return std::any_of(discs.begin(), discs.end(),
                       [&](const Json& disc) { return text(disc, "id") == discId; });
}

size_t trackCountOf(const Json& medium) {
    const Json& tracks = member(medium, "tracks");
    return tracks.is_array() ? tracks.size() : 0;
}

const Json* chosenMedium(const Json& release, std::string_view discId, int trackCount) {
    const Json& media = member(release, "media");
    if (!media.is_array()) return nullptr;
    for (const Json& medium : media) {
        if (carriesDisc(medium, discId)) return &medium;
    }
    for (const Json& medium : media) {
        if (trackCountOf(medium) == size_t(trackCount)) return &medium;
    }
    return nullptr;
}

// The ID goes into the cover's address and file name, so only the UUID form it always has is
// taken.
std::string mbidOf(const Json& release) {
    std::string id = text(release, "id");
    return isMusicBrainzId(id) ? id : std::string();
}

// Votes that are no count count as none.
int64_t votes(const Json& genre) {
    const Json& count = member(genre, "count");
    return count.is_number_integer() ? count.get<int64_t>() : 0;
}

// The most voted genre that the genre list names, by the list's spelling; the first of equals.
std::string knownGenre(const Json& owner) {
    const Json& genres = member(owner, "genres");
    if (!genres.is_array()) return {};
    std::vector<const Json*> known;
    for (const Json& genre : genres) {
        if (findGenre(text(genre, "name"))) known.push_back(&genre);
    }
    const auto best = std::ranges::max_element(
        known, [](const Json* a, const Json* b) { return votes(*a) < votes(*b); });
    if (best == known.end()) return {};
    return std::string(kGenreNames[size_t(*findGenre(text(**best, "name")))]);
}

MusicBrainzRelease releaseOf(const Json& release, const Json& medium) {
    std::string genre = knownGenre(release);
    if (genre.empty()) genre = knownGenre(member(release, "release-group"));
    MusicBrainzRelease out{mbidOf(release),       text(release, "title"),
                           joinedCredit(release), yearOf(text(release, "date")),
                           std::move(genre),      {}};
    const Json& tracks = member(medium, "tracks");
    for (const Json& track : tracks) {
        std::string title = text(track, "title");
        if (title.empty()) title = text(member(track, "recording"), "title");
        std::string artist = joinedCredit(track);
        if (artist.empty()) artist = joinedCredit(member(track, "recording"));
        out.tracks.push_back({std::move(title), std::move(artist)});
    }
    return out;
}

// The text format is line-based: a value may not start a line of its own.
std::string oneLine(std::string value) {
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
}

}  // namespace

bool isMusicBrainzId(std::string_view id) {
    return id.size() == 36 && std::all_of(id.begin(), id.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || c == '-';
           });
}

std::string musicBrainzArtistField(std::string_view artist) {
    return oneLine(creditArtist(artist));
}

std::vector<MusicBrainzRelease> parseMusicBrainzReply(std::string_view json,
                                                      std::string_view discId, int trackCount) {
    std::vector<MusicBrainzRelease> out;
    if (json.size() > kMusicBrainzReplyLimit) return out;
    try {
        const Json reply = Json::parse(json, nullptr, false);
        const Json& releases = member(reply, "releases");
        if (!releases.is_array()) return out;
        for (const Json& release : releases) {
            if (const Json* medium = chosenMedium(release, discId, trackCount)) {
                out.push_back(releaseOf(release, *medium));
            }
        }
    } catch (const std::exception&) {
        // Whatever slipped through the type checks (text that is not UTF-8 among them) counts as
        // no answer rather than ending the lookup.
        out.clear();
    }
    return out;
}

std::string musicBrainzDiscInfoText(const MusicBrainzRelease& release, uint32_t freedbId) {
    char discId[9];
    std::snprintf(discId, sizeof discId, "%08x", freedbId);
    std::string text = "DISCID=" + std::string(discId) + "\r\n";
    text += "DTITLE=" + musicBrainzArtistField(release.artist) + " / " + oneLine(release.title) +
            "\r\n";
    text += "DYEAR=" + release.year + "\r\n";
    // Keys are found as text anywhere behind the one before, so each must come before any value
    // that could hold it; without a genre the disc keeps the one it has until it is told another.
    text += "DGENRE=" + musicBrainzGenre(release) + "\r\n";
    for (size_t i = 0; i < release.tracks.size(); ++i) {
        const MusicBrainzTrack& track = release.tracks[i];
        const std::string title = creditedTitleLine(track.artist, release.artist, track.title);
        text += "TTITLE" + std::to_string(i) + "=" + oneLine(title) + "\r\n";
    }
    return text + std::string(kTrackCreditsLine) + musicBrainzReleaseLine(release.id);
}

std::string musicBrainzGenre(const MusicBrainzRelease& release) {
    return release.genre.empty() ? std::string(kGenreNames[kDefaultGenre]) : release.genre;
}

std::string musicBrainzReleaseLine(std::string_view releaseId) {
    return std::string(kReleaseKey) + oneLine(std::string(releaseId)) + "\r\n";
}

// Only at the start of a line: a title may hold the key's text, never a line break.
std::string musicBrainzReleaseOf(std::string_view text) {
    size_t key = text.starts_with(kReleaseKey) ? 0 : std::string_view::npos;
    for (size_t at = 0; key == std::string_view::npos && at != std::string_view::npos;) {
        at = text.find(kReleaseKey, at + 1);
        if (at != std::string_view::npos && (text[at - 1] == '\n' || text[at - 1] == '\r'))
            key = at;
    }
    if (key == std::string_view::npos) return {};
    const std::string_view rest = text.substr(key + kReleaseKey.size());
    return std::string(rest.substr(0, rest.find_first_of("\r\n")));
}

}  // namespace lumbra
