#include "metadata/cd_text_info.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string_view>

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

// The reader of the text takes the artist up to the first slash, so one inside the name
// becomes the full-width slash that looks the same.
std::string artistField(std::string_view artist) {
    std::string out;
    for (const char c : artist) {
        if (c == '/')
            out += "\xEF\xBC\x8F";
        else
            out += c;
    }
    return out;
}

void addLine(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).append(value).append("\r\n");
}

std::string trackTitle(const CdText& text, int cdTextTrack, const TrackEntry& entry) {
    const CdTextFields& fields = text.entry(cdTextTrack);
    const std::string& albumPerformer = text.entry(0).performer;
    if (fields.title.empty()) return entry.title;
    if (fields.performer.empty() || fields.performer == albumPerformer) return fields.title;
    return fields.performer + " / " + fields.title;
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
    addLine(info, "DTITLE=",
            artistField(album.performer.empty() ? disc.artist : album.performer) + " / " +
                (album.title.empty() ? disc.album : album.title));
    if (const std::string_view genre = genreName(text); !genre.empty())
        addLine(info, "DGENRE=", genre);
    for (size_t i = 0; i < tracks.size(); ++i) {
        addLine(info, "TTITLE" + std::to_string(i) + "=",
                trackTitle(text, firstTrack + int(i), tracks[i]));
    }
    return info;
}

}  // namespace lumbra
