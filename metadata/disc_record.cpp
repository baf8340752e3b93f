#include "metadata/disc_record.h"

#include <algorithm>
#include <utility>

namespace lumbra {

// std::to_array makes a miscounted list a compile error instead of trailing empty names.
const std::array<std::string_view, kGenreCount> kGenreNames = std::to_array<std::string_view>({
    "Blues",       "Classic Rock",  "Country",       "Dance",        "Disco",
    "Funk",        "Grunge",        "Hip-Hop",       "Jazz",         "Metal",
    "New Age",     "Oldies",        "Other",         "Pop",          "R&B",
    "Rap",         "Reggae",        "Rock",          "Techno",       "Industrial",
    "Alternative", "Ska",           "Death Metal",   "Pranks",       "Soundtrack",
    "Euro-Techno", "Ambient",       "Trip-Hop",      "Vocal",        "Jazz+Funk",
    "Fusion",      "Trance",        "Classical",     "Instrumental", "Acid",
    "House",       "Game",          "Sound Clip",    "Gospel",       "Noise",
    "Altern Rock", "Bass",          "Soul",          "Punk",         "Space",
    "Meditative",  "Inst. Pop",     "Instrum. Rock", "Ethnic",       "Gothic",
    "Darkwave",    "Techno-Indus",  "Electronic",    "Pop-Folk",     "Eurodance",
    "Dream",       "Southern Rock", "Comedy",        "Cult",         "Gangsta",
    "Top 40",      "Christian Rap", "Pop/Funk",      "Jungle",       "Native American",
    "Cabaret",     "New Wave",      "Psychadelic",   "Rave",         "Showtunes",
    "Trailer",     "Lo-Fi",         "Tribal",        "Acid Punk",    "Acid Jazz",
    "Polka",       "Retro",         "Musical",       "Rock & Roll",  "Hard Rock",
});

namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, {}, asciiLower, asciiLower);
}

}  // namespace

void resetDiscRecord(DiscRecord& record) {
    DiscRecord fresh;
    fresh.year = std::move(record.year);
    fresh.comment = std::move(record.comment);
    record = std::move(fresh);
}

int genreIndexOf(std::string_view name) {
    return findGenre(name).value_or(0);
}

std::optional<int> findGenre(std::string_view name) {
    const auto it = std::ranges::find_if(
        kGenreNames, [&](std::string_view genre) { return equalsIgnoringCase(genre, name); });
    if (it == kGenreNames.end()) return std::nullopt;
    return int(it - kGenreNames.begin());
}

}  // namespace lumbra
