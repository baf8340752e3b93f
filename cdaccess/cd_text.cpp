#include "cdaccess/cd_text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <string_view>

#include "platform/control_characters.h"
#include "platform/text_encoding.h"
#include "platform/utf8.h"

namespace lumbra {
namespace {

using Pack = CdTextPack;
using RawStrings = std::map<int, std::string>;  // by track number

int blockOf(const Pack& p) {
    return (p.blockAndPosition >> kCdTextBlockShift) & kCdTextBlockMask;
}
bool isDoubleByte(const Pack& p) {
    return (p.blockAndPosition & kCdTextDoubleByteBit) != 0;
}
bool continuesEarlierString(const Pack& p) {
    return (p.blockAndPosition & kCdTextPositionMask) != 0;
}

bool crcMatches(const Pack& p) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(&p);
    return cdTextPackCrc({bytes, kCdTextPackBytes}) == (p.crc[0] << 8 | p.crc[1]);
}

// The whole packs of the reply, as far as both its length field and the bytes received reach.
std::vector<Pack> packsOf(std::span<const uint8_t> reply) {
    std::vector<Pack> packs;
    if (reply.size() < kCdTextReplyHeaderBytes) return packs;
    const size_t end = std::min(reply.size(), (size_t(reply[0]) << 8 | reply[1]) + 2);
    for (size_t at = kCdTextReplyHeaderBytes; at + kCdTextPackBytes <= end;
         at += kCdTextPackBytes) {
        Pack pack;
        std::memcpy(&pack, reply.data() + at, kCdTextPackBytes);
        packs.push_back(pack);
    }
    return packs;
}

// Some drives check the CRCs themselves and hand the packs on with the fields cleared: when no
// CRC field holds anything, the packs are taken unchecked.
std::vector<Pack> checkedPacks(std::vector<Pack> packs) {
    const bool cleared =
        std::ranges::all_of(packs, [](const Pack& p) { return p.crc[0] == 0 && p.crc[1] == 0; });
    std::erase_if(packs, [cleared](const Pack& p) {
        return p.type < kCdTextTitle || p.type > kCdTextSizeInfo || (!cleared && !crcMatches(p));
    });
    return packs;
}

// The packs of the lowest block present, in sequence order, each sequence number once: drives
// may return the lead-in's repetitions of the same packs.
std::vector<Pack> firstBlock(std::vector<Pack> packs) {
    if (packs.empty()) return packs;
    const int block = blockOf(*std::ranges::min_element(packs, {}, blockOf));
    std::erase_if(packs, [block](const Pack& p) { return blockOf(p) != block; });
    std::ranges::stable_sort(packs, {}, &Pack::sequence);
    // Iterator std::unique, since clang 14 cannot build the subrange std::ranges::unique returns
    // with this standard library.
    const auto end = std::unique(packs.begin(), packs.end(), [](const Pack& a, const Pack& b) {
        return a.sequence == b.sequence;
    });
    packs.erase(end, packs.end());
    return packs;
}

// Splits the payloads of one pack type into its strings, a track each from the track the first
// pack names. After a missing pack the string it would have continued is dropped, and the next
// pack's track number puts the count right again.
class StringCollector {
public:
    void add(const Pack& pack, bool followsPrevious) {
        if (!followsPrevious) {
            track_ = pack.track & kCdTextTrackMask;
            text_.clear();
            skipping_ = continuesEarlierString(pack);
            swallowZero_ = false;
        }
        for (const uint8_t byte : pack.payload) take(byte, isDoubleByte(pack));
    }
    const RawStrings& strings() const { return strings_; }

private:
    void take(uint8_t byte, bool doubleByte) {
        if (swallowZero_) {
            swallowZero_ = false;
            if (byte == 0) return;
        }
        if (byte != 0) {
            if (!skipping_) text_ += char(byte);
            return;
        }
        // A string ends with one zero byte, or two in double-byte text, where no character
        // holds a zero byte.
        if (!skipping_ && track_ <= kMaxCdTextTrack) strings_.emplace(track_, text_);
        skipping_ = false;
        text_.clear();
        ++track_;
        swallowZero_ = doubleByte;
    }

    RawStrings strings_;
    std::string text_;
    int track_ = 0;
    bool skipping_ = true;
    bool swallowZero_ = false;
};

RawStrings stringsOf(const std::vector<Pack>& packs, uint8_t type) {
    StringCollector collector;
    const Pack* previous = nullptr;
    for (const Pack& pack : packs) {
        if (pack.type != type) continue;
        collector.add(pack, previous && previous->sequence + 1 == pack.sequence);
        previous = &pack;
    }
    return collector.strings();
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) platform::appendUtf8Character(text, char32_t(uint8_t(c)));
    return text;
}

std::string decode(std::string_view raw, CdTextCharacterCode code) {
    std::string text;
    switch (code) {
        case CdTextCharacterCode::MsJis:
            text = platform::decodeToUtf8("CP932", raw);
            break;
        case CdTextCharacterCode::Korean:
            text = platform::decodeToUtf8("CP949", raw);
            break;
        case CdTextCharacterCode::Mandarin:
            text = platform::decodeToUtf8("GB18030", raw);
            break;
        default:
            // ASCII discs often carry Latin-1 letters all the same; reserved codes too.
            text = latin1ToUtf8(raw);
    }
    text = platform::withoutControlCharacters(text);
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A lone tab (two in double-byte text) says: the same as the track before.
bool isRepeatMarker(std::string_view raw) {
    return raw == "\t" || raw == "\t\t";
}

void fillField(CdText& text, const RawStrings& strings, std::string CdTextFields::*field) {
    for (const auto& [track, raw] : strings) {
        if (size_t(track) >= text.entries.size()) text.entries.resize(size_t(track) + 1);
        text.entries[size_t(track)].*field =
            isRepeatMarker(raw) ? (track > 0 ? text.entries[size_t(track) - 1].*field : "")
                                : decode(raw, text.characterCode);
    }
}

// The block's size information: its character code in byte 0 of the first pack, its language
// among the eight block languages in the third.
void readSizeInfo(CdText& text, const std::vector<Pack>& packs) {
    const bool anyDoubleByte = std::ranges::any_of(packs, isDoubleByte);
    text.characterCode =
        anyDoubleByte ? CdTextCharacterCode::MsJis : CdTextCharacterCode::Iso8859_1;
    for (const Pack& pack : packs) {
        if (pack.type != kCdTextSizeInfo) continue;
        if (pack.track == 0) text.characterCode = CdTextCharacterCode(pack.payload[0]);
        if (pack.track == 2) text.language = pack.payload[4 + blockOf(pack)];
    }
}

void readGenre(CdText& text, const std::vector<Pack>& packs) {
    std::string bytes;
    const Pack* previous = nullptr;
    for (const Pack& pack : packs) {
        if (pack.type != kCdTextGenre) continue;
        if (previous && previous->sequence + 1 != pack.sequence) break;
        bytes.append(reinterpret_cast<const char*>(pack.payload), kCdTextPayloadBytes);
        previous = &pack;
    }
    if (bytes.size() < 2) return;
    text.genreCode = uint16_t(uint8_t(bytes[0]) << 8 | uint8_t(bytes[1]));
    const std::string_view rest = std::string_view(bytes).substr(2);
    text.genreText = decode(rest.substr(0, rest.find('\0')), text.characterCode);
}

}  // namespace

const CdTextFields& CdText::entry(int track) const {
    static const CdTextFields kNone;
    return track >= 0 && size_t(track) < entries.size() ? entries[size_t(track)] : kNone;
}

CdText parseCdText(std::span<const uint8_t> reply) {
    const std::vector<Pack> packs = firstBlock(checkedPacks(packsOf(reply)));
    CdText text;
    if (packs.empty()) return text;
    readSizeInfo(text, packs);
    static constexpr std::array<std::pair<uint8_t, std::string CdTextFields::*>, 6> kFields{{
        {kCdTextTitle, &CdTextFields::title},
        {kCdTextPerformer, &CdTextFields::performer},
        {kCdTextSongwriter, &CdTextFields::songwriter},
        {kCdTextComposer, &CdTextFields::composer},
        {kCdTextArranger, &CdTextFields::arranger},
        {kCdTextCodes, &CdTextFields::code},
    }};
    for (const auto& [type, field] : kFields) fillField(text, stringsOf(packs, type), field);
    readGenre(text, packs);
    return text;
}

}  // namespace lumbra
