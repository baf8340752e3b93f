#include "rip/id3v1_tag.h"

#include <cstring>
#include <string_view>

#include "metadata/track_credits.h"
#include "platform/text_encoding.h"

namespace lumbra {
namespace {

struct Id3v1Layout {
    char magic[3];
    char title[30];
    char artist[30];
    char album[30];
    char year[4];
    char comment[29];
    uint8_t trackNumber;  // the comment's 30th byte in ID3 version 1.0
    uint8_t genre;
};
static_assert(sizeof(Id3v1Layout) == kId3v1TagSize);
static_assert(offsetof(Id3v1Layout, title) == 3 && offsetof(Id3v1Layout, artist) == 33 &&
              offsetof(Id3v1Layout, album) == 63 && offsetof(Id3v1Layout, year) == 93 &&
              offsetof(Id3v1Layout, comment) == 97 && offsetof(Id3v1Layout, trackNumber) == 126 &&
              offsetof(Id3v1Layout, genre) == 127);

constexpr uint8_t kFirstGbkLead = 0x81;
constexpr uint8_t kLastGbkLead = 0xFE;

// The longest prefix of GBK text of at most `limit` bytes that does not end between a lead
// byte and its trail byte.
std::string_view gbkPrefix(std::string_view gbk, size_t limit) {
    size_t end = 0;
    while (end < gbk.size()) {
        const auto byte = static_cast<uint8_t>(gbk[end]);
        const size_t width =
            byte >= kFirstGbkLead && byte <= kLastGbkLead && end + 1 < gbk.size() ? 2 : 1;
        if (end + width > limit) break;
        end += width;
    }
    return gbk.substr(0, end);
}

template <size_t N>
void fill(char (&field)[N], const std::string& utf8, const char* fallback) {
    const std::string gbk = platform::utf8ToGbk(utf8.empty() ? fallback : utf8);
    const std::string_view text = gbkPrefix(gbk, N);
    std::memcpy(field, text.data(), text.size());
}

uint8_t trackNumberOf(const TrackEntry& track) {
    return uint8_t(track.number < 1 ? 1 : track.number);
}

std::string defaultTitle(uint8_t number) {
    char title[16];
    std::snprintf(title, sizeof title, "音轨 %02d", number);
    return title;
}

}  // namespace

std::array<uint8_t, kId3v1TagSize> id3v1Tag(const TrackEntry& track, const DiscRecord& disc) {
    Id3v1Layout tag{};
    const uint8_t number = trackNumberOf(track);
    std::memcpy(tag.magic, "TAG", sizeof tag.magic);
    fill(tag.title, track.title, defaultTitle(number).c_str());
    fill(tag.artist, trackArtist(track, disc), "未知艺人");
    fill(tag.album, disc.album, "未知专辑");
    fill(tag.year, disc.year, "2000");
    fill(tag.comment, disc.comment, "无");
    tag.trackNumber = number;
    tag.genre = uint8_t(disc.genre < 0 ? 1 : disc.genre);
    std::array<uint8_t, kId3v1TagSize> bytes;
    std::memcpy(bytes.data(), &tag, bytes.size());
    return bytes;
}

}  // namespace lumbra
