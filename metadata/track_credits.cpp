#include "metadata/track_credits.h"

#include <algorithm>
#include <array>

namespace lumbra {
namespace {

constexpr std::string_view kSeparator = " / ";
constexpr std::string_view kMusicBrainzReleaseKey = "MBRELEASE=";
constexpr std::string_view kCreditsKey = kTrackCreditsLine.substr(0, 9);

// The artist names CDDB entries of compilations go by; their titles credit each track.
constexpr std::array<std::string_view, 3> kCompilationArtists = {"various", "various artists",
                                                                 "群星"};

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool namesCompilation(std::string_view artist) {
    return std::ranges::any_of(kCompilationArtists, [&](std::string_view name) {
        return std::ranges::equal(artist, name, {}, asciiLower);
    });
}

// Only at the start of a line: a title may hold the key's text, never a line break.
bool hasLineStartingWith(std::string_view text, std::string_view key) {
    for (size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
        if (at == 0 || text[at - 1] == '\n' || text[at - 1] == '\r') return true;
    }
    return false;
}

}  // namespace

bool titlesCarryCredits(std::string_view text, std::string_view discArtist) {
    return namesCompilation(discArtist) || hasLineStartingWith(text, kCreditsKey) ||
           hasLineStartingWith(text, kMusicBrainzReleaseKey);
}

std::optional<std::pair<std::string_view, std::string_view>> splitCredit(std::string_view title) {
    const size_t at = title.find(kSeparator);
    if (at == std::string_view::npos || at == 0 || at + kSeparator.size() == title.size()) {
        return std::nullopt;
    }
    return std::pair{title.substr(0, at), title.substr(at + kSeparator.size())};
}

std::string creditArtist(std::string_view artist) {
    std::string out;
    for (const char c : artist)
        out += c == '/' ? std::string_view("\xEF\xBC\x8F") : std::string_view(&c, 1);
    return out;
}

std::string creditedTitleLine(std::string_view trackArtist, std::string_view albumArtist,
                              std::string_view title) {
    const bool guest = !trackArtist.empty() && trackArtist != albumArtist;
    if (!guest && title.find(kSeparator) == std::string_view::npos) return std::string(title);
    return creditArtist(guest ? trackArtist : albumArtist) + std::string(kSeparator) +
           std::string(title);
}

const std::string& trackArtist(const TrackEntry& track, const DiscRecord& disc) {
    return track.artist.empty() ? disc.artist : track.artist;
}

std::string creditedTitle(const TrackEntry& track) {
    return track.artist.empty() ? track.title
                                : track.artist + std::string(kSeparator) + track.title;
}

}  // namespace lumbra
