#include "plugins/virtualdrive/cd_text_reply.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "cdaccess/mmc_commands.h"
#include "platform/text_encoding.h"

namespace lumbra::virtualdrive {
namespace {

// A block holds at most 256 packs, three of them its size information.
constexpr size_t kMaxPacks = 256;
constexpr size_t kSizeInfoPacks = 3;

class PackWriter {
public:
    explicit PackWriter(const CdTextBlock& block) : block_(block) {}

    // The strings of one type, each ended by one zero byte (two in double-byte text), cut into
    // payloads that say which track's string they begin in and how far into it.
    void addStrings(uint8_t type, const std::vector<std::string>& strings, bool doubleByte) {
        std::string stream;
        std::vector<size_t> starts;
        for (const std::string& text : strings) {
            starts.push_back(stream.size());
            stream += text;
            stream.append(doubleByte ? 2 : 1, '\0');
        }
        for (size_t at = 0; at < stream.size(); at += kCdTextPayloadBytes) {
            const size_t index =
                size_t(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
            const size_t before = (at - starts[index]) / (doubleByte ? 2 : 1);
            add(type, uint8_t(index), doubleByte, std::min<size_t>(before, 15),
                std::string_view(stream).substr(at, kCdTextPayloadBytes));
        }
    }

    void addGenre(uint16_t code) {
        const char bytes[3] = {char(code >> 8), char(code & 0xFF), 0};
        add(kCdTextGenre, 0, false, 0, std::string_view(bytes, sizeof bytes));
    }

    // Character code, first and last track, pack counts per type, the last sequence number of
    // each block and the language of each block: 36 bytes over three packs.
    std::vector<CdTextPack> finish() {
        packs_.resize(std::min(packs_.size(), kMaxPacks - kSizeInfoPacks));
        std::array<uint8_t, 3 * kCdTextPayloadBytes> info{};
        info[0] = uint8_t(block_.characterCode);
        info[1] = 1;
        info[2] = uint8_t(block_.lastTrack);
        for (const CdTextPack& pack : packs_) ++info[4 + (pack.type & 0x0F)];
        info[4 + (kCdTextSizeInfo & 0x0F)] = kSizeInfoPacks;
        info[20 + block_.block] = uint8_t(packs_.size() + kSizeInfoPacks - 1);
        info[28 + block_.block] = block_.language;
        for (size_t i = 0; i < kSizeInfoPacks; ++i) {
            add(kCdTextSizeInfo, uint8_t(i), false, 0,
                std::string_view(
                    reinterpret_cast<const char*>(info.data()) + i * kCdTextPayloadBytes,
                    kCdTextPayloadBytes));
        }
        return std::move(packs_);
    }

private:
    void add(uint8_t type, uint8_t track, bool doubleByte, size_t before, std::string_view bytes) {
        CdTextPack pack{};
        pack.type = type;
        pack.track = track;
        pack.sequence = uint8_t(packs_.size());
        pack.blockAndPosition = uint8_t((doubleByte ? kCdTextDoubleByteBit : 0) |
                                        block_.block << kCdTextBlockShift | before);
        std::memcpy(pack.payload, bytes.data(), std::min(bytes.size(), kCdTextPayloadBytes));
        const uint16_t crc = cdTextPackCrc({reinterpret_cast<const uint8_t*>(&pack), 16});
        pack.crc[0] = uint8_t(crc >> 8);
        pack.crc[1] = uint8_t(crc);
        packs_.push_back(pack);
    }

    const CdTextBlock& block_;
    std::vector<CdTextPack> packs_;
};

struct Encoding {
    const char* name;
    CdTextCharacterCode code;
    uint8_t language;
    bool doubleByte;
};
constexpr std::array<Encoding, 3> kEncodings{{
    {"ISO-8859-1", CdTextCharacterCode::Iso8859_1, 0x09, false},  // English
    {"CP932", CdTextCharacterCode::MsJis, 0x69, true},            // Japanese
    {"GB18030", CdTextCharacterCode::Mandarin, 0x75, true},       // Chinese
}};

using Column = std::vector<std::string>;

std::optional<Column> encodeAll(const Column& texts, const Encoding& encoding) {
    Column out;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i >= 2 && !texts[i].empty() && texts[i] == texts[i - 1]) {
            out.push_back(encoding.doubleByte ? "\t\t" : "\t");
            continue;
        }
        auto bytes = platform::encodeFromUtf8(encoding.name, texts[i]);
        if (!bytes || bytes->find('\0') != std::string::npos) return std::nullopt;
        out.push_back(std::move(*bytes));
    }
    return out;
}

std::vector<std::pair<uint8_t, Column>> columnsOf(const Disc& disc) {
    const std::array<std::pair<uint8_t, std::string TextFields::*>, 3> fields{{
        {kCdTextTitle, &TextFields::title},
        {kCdTextPerformer, &TextFields::performer},
        {kCdTextSongwriter, &TextFields::songwriter},
    }};
    std::vector<std::pair<uint8_t, Column>> columns;
    for (const auto& [type, field] : fields) {
        Column column{disc.texts.album.*field};
        for (size_t t = 0; t < disc.tracks.size(); ++t)
            column.push_back(t < disc.texts.tracks.size() ? disc.texts.tracks[t].*field : "");
        if (std::ranges::any_of(column, [](const std::string& s) { return !s.empty(); }))
            columns.emplace_back(type, std::move(column));
    }
    return columns;
}

}  // namespace

std::vector<CdTextPack> cdTextPacks(const CdTextBlock& block) {
    PackWriter writer(block);
    for (const auto& [type, strings] : block.texts)
        writer.addStrings(type, strings, block.doubleByte);
    if (block.genreCode != 0) writer.addGenre(block.genreCode);
    return writer.finish();
}

std::vector<uint8_t> cdTextReply(std::span<const CdTextPack> packs) {
    const size_t bytes = packs.size() * kCdTextPackBytes;
    std::vector<uint8_t> reply(kCdTextReplyHeaderBytes + bytes);
    mmc::putBigEndian({reply.data(), 2}, uint32_t(bytes + 2));
    if (bytes) std::memcpy(reply.data() + kCdTextReplyHeaderBytes, packs.data(), bytes);
    return reply;
}

std::vector<uint8_t> discCdTextReply(const Disc& disc) {
    if (!disc.texts.hasCdText()) return {};
    const auto columns = columnsOf(disc);
    for (const Encoding& encoding : kEncodings) {
        CdTextBlock block{0,
                          encoding.code,
                          encoding.language,
                          encoding.doubleByte,
                          int(disc.tracks.size()),
                          {},
                          disc.texts.genreCode};
        for (const auto& [type, column] : columns) {
            auto encoded = encodeAll(column, encoding);
            if (!encoded) break;
            block.texts.emplace_back(type, std::move(*encoded));
        }
        if (block.texts.size() == columns.size()) return cdTextReply(cdTextPacks(block));
    }
    return {};
}

}  // namespace lumbra::virtualdrive
