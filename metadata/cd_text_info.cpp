#include "metadata/cd_text_info.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

#include "metadata/track_credits.h"

namespace lumbra {
namespace {

// The CD-Text genre codes that have a counterpart among the ID3v1 names.
constexpr std::array<std::pair<uint16_t, std::string_view>, 17> kGenreCodeNames{{
    {3, "Altern Rock"},
    {5, "Classical"},
    {7, "Country"},
    {8, "Dance"},
    {12, "Gospel"},
    {13, "Hip-Hop"},
    {14, "Jazz"},
    {16, "Musical"},
    {17, "New Age"},
    {20, "Pop"},
    {21, "Rap"},
    {22, "Reggae"},
    {23, "Rock"},
    {24, "R&B"},
    {25, "Sound Clip"},
    {27, "Soundtrack"},
    {28, "Ethnic"},
}};

// The genre's own text when it is one of the names (except the first, Blues, which no
// code names either), else
// the name for its code.
std::string_view genreName(const CdText& text) {
    if (const int index = genreIndexOf(text.genreText); index != 0)
        return kGenreNames[size_t(index)];
    const auto it = std::ranges::find(kGenreCodeNames, text.genreCode,
                                      &std::pair<uint16_t, std::string_view>::first);
    return it == kGenreCodeNames.end() ? std::string_view() : it->second;
}

void addLine(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).append(value).append("\r\n");
}

std::string trackTitle(const CdText& text, int cdTextTrack, const TrackEntry& entry,
                       const std::string& albumArtist) {
    const CdTextFields& fields = text.entry(cdTextTrack);
    if (fields.title.empty()) return creditedTitleLine(entry.artist, albumArtist, entry.title);
    return creditedTitleLine(fields.performer, albumArtist, fields.title);
}

bool namesAnything(const CdText& text) {
    return std::ranges::any_of(text.entries, [](const CdTextFields& fields) {
        return !fields.title.empty() || !fields.performer.empty();
    });
}

}  // namespace

std::string cdTextDiscInfoText(const CdText& text, uint32_t discId, int firstTrack,
                               const DiscRecord& disc, const std::vector<TrackEntry>& tracks) {
    if (!namesAnything(text)) return {};
    std::string info;
    char id[16];
    std::snprintf(id, sizeof id, "%08x", discId);
    addLine(info, "DISCID=", id);
    const CdTextFields& album = text.entry(0);
    const std::string& albumArtist = album.performer.empty() ? disc.artist : album.performer;
    addLine(info, "DTITLE=",
            creditArtist(albumArtist) + " / " + (album.title.empty() ? disc.album : album.title));
    if (const std::string_view genre = genreName(text); !genre.empty())
        addLine(info, "DGENRE=", genre);
    for (size_t i = 0; i < tracks.size(); ++i) {
        addLine(info, "TTITLE" + std::to_string(i) + "=",
                trackTitle(text, firstTrack + int(i), tracks[i], albumArtist));
    }
    return info.append(kTrackCreditsLine);
}

}  // namespace lumbra
