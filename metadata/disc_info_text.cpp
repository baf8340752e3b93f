#include "metadata/disc_info_text.h"

#include <optional>
#include <string>

#include "metadata/track_credits.h"
#include "platform/control_characters.h"
#include "platform/text_encoding.h"

namespace lumbra {
namespace {

// The longest value the record takes from the text. A longer one is cut at a character boundary
// rather than refused, so a wordy entry still fills the record.
constexpr size_t kValueLimit = 83;

constexpr std::string_view kDiscIdKey = "DISCID=";
constexpr std::string_view kTitleKey = "DTITLE=";
constexpr std::string_view kYearKey = "DYEAR=";
constexpr std::string_view kGenreKey = "DGENRE=";

constexpr size_t npos = std::string_view::npos;

// Where the scan goes on, or nullopt when it stops.
using Start = std::optional<size_t>;

struct Line {
    std::string value;
    size_t next;  // behind the line end
};

// A value as the record keeps it: what shows in the list and names files has no characters that
// act unseen, and a tab is a space there.
std::string recordValue(std::string_view value) {
    return platform::withoutHiddenCharacters(platform::utf8Prefix(value, kValueLimit));
}

// The value from `from` up to the next CR or LF; nullopt when no line end follows.
std::optional<Line> valueUpToLineEnd(std::string_view text, size_t from) {
    const size_t end = text.find_first_of("\r\n", from);
    if (end == npos) return std::nullopt;
    return Line{recordValue(text.substr(from, end - from)), end + 1};
}

// Only the LF counts here: a DISCID line ended by a lone CR takes the next line with it.
Start skipDiscIdLine(std::string_view text) {
    const size_t key = text.find(kDiscIdKey);
    if (key == npos) return 0;
    const size_t lf = text.find('\n', key + kDiscIdKey.size());
    if (lf == npos) return std::nullopt;
    return lf + 1;
}

// "Artist / Album": the artist ends one character before the first "/" after the key, even one on
// a later line, and the album starts two characters behind it.
Start applyDiscTitle(std::string_view text, size_t start, DiscRecord& record) {
    const size_t key = text.find(kTitleKey, start);
    if (key == npos) return start;
    const size_t artistStart = key + kTitleKey.size();
    const size_t slash = text.find('/', artistStart);
    if (slash == npos) return std::nullopt;
    const size_t artistEnd = slash > artistStart ? slash - 1 : artistStart;
    record.artist = recordValue(text.substr(artistStart, artistEnd - artistStart));
    auto album = valueUpToLineEnd(text, slash + 2);
    if (!album) return std::nullopt;
    record.album = std::move(album->value);
    return album->next;
}

template <typename Apply>
Start applyKeyValue(std::string_view text, size_t start, std::string_view key, Apply apply) {
    const size_t at = text.find(key, start);
    if (at == npos) return start;
    auto line = valueUpToLineEnd(text, at + key.size());
    if (!line) return std::nullopt;
    apply(std::move(line->value));
    return line->next;
}

// A title that credits its track gives the track its artist, unless that is the disc's own; the
// title is split before values are cut, so a long credit leaves the title whole.
void applyTitle(std::string_view value, bool credits, const std::string& discArtist,
                TrackEntry& track) {
    track.artist.clear();
    const auto credit = credits ? splitCredit(value) : std::nullopt;
    std::string title = recordValue(credit ? credit->second : value);
    if (!credit || title.empty()) {
        track.title = recordValue(value);
        return;
    }
    track.title = std::move(title);
    if (std::string artist = recordValue(credit->first); artist != discArtist) {
        track.artist = std::move(artist);
    }
}

// Titles go to entries 0, 1, 2, ... while each next index turns up behind the previous line; the
// first gap ends them.
void applyTrackTitles(std::string_view text, size_t start, bool credits,
                      const std::string& discArtist, std::vector<TrackEntry>& tracks) {
    for (size_t k = 0; k < tracks.size(); ++k) {
        const std::string key = "TTITLE" + std::to_string(k) + "=";
        const size_t at = text.find(key, start);
        if (at == npos) return;
        const size_t from = at + key.size();
        const size_t end = text.find_first_of("\r\n", from);
        if (end == npos) return;
        applyTitle(text.substr(from, end - from), credits, discArtist, tracks[k]);
        start = end + 1;
    }
}

}  // namespace

void applyDiscInfoText(std::string_view text, DiscRecord& record, std::vector<TrackEntry>& tracks) {
    Start start = skipDiscIdLine(text);
    if (start) start = applyDiscTitle(text, *start, record);
    if (start) {
        start = applyKeyValue(text, *start, kYearKey,
                              [&](std::string value) { record.year = std::move(value); });
    }
    if (start) {
        start = applyKeyValue(text, *start, kGenreKey,
                              [&](std::string value) { record.genre = genreIndexOf(value); });
    }
    if (start) {
        applyTrackTitles(text, *start, titlesCarryCredits(text, record.artist), record.artist,
                         tracks);
    }
}

}  // namespace lumbra
