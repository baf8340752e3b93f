// What the program knows about the disc in the drive beyond its table of contents. The track
// titles live in the track list's entries, one per track.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace lumbra {

inline constexpr int kGenreCount = 80;
inline constexpr int kDefaultGenre = 4;  // Disco

// Where the artist, album and titles came from.
enum class TitleSource { None, CdText, Lookup };

struct DiscRecord {
    std::string artist = "未知艺人";
    std::string album = "未知标题";
    std::string year;           // as typed or received, never checked for digits
    int genre = kDefaultGenre;  // index into kGenreNames
    std::string comment;        // for tags only; lookups never fill it
    std::string catalogue{};    // the disc's UPC/EAN, read from the disc; empty when it has none
    TitleSource titleSource = TitleSource::None;
    std::string
        coverArt{};  // the album's front cover as JPEG or PNG bytes; empty when none is known
};

// The ID3v1 genre names that received genre text is matched against. Four of them are shorter
// than what the settings page shows at the same index.
extern const std::array<std::string_view, kGenreCount> kGenreNames;

// Back to "unknown artist" and "unknown title" with the default genre, no catalogue number and
// no title source or cover, as when the user refreshes the disc; year and comment stay.
void resetDiscRecord(DiscRecord& record);

// The index of the first kGenreNames entry equal to `name` ignoring ASCII case, 0 when none is.
int genreIndexOf(std::string_view name);

// The same index, nullopt when no entry is equal: genre text that names none is not Blues.
std::optional<int> findGenre(std::string_view name);

}  // namespace lumbra
