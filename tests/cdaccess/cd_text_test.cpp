// CD-Text replies of the layouts real discs and drives produce, built pack by pack, read back.
#include "cdaccess/cd_text.h"

#include <gtest/gtest.h>

#include "plugins/virtualdrive/cd_text_reply.h"

namespace lumbra {
namespace {

using virtualdrive::CdTextBlock;
using virtualdrive::cdTextPacks;
using virtualdrive::cdTextReply;
using Packs = std::vector<CdTextPack>;

std::vector<std::string> titlesOf(const CdText& text, int tracks) {
    std::vector<std::string> titles;
    for (int t = 0; t <= tracks; ++t) titles.push_back(text.entry(t).title);
    return titles;
}

CdTextBlock englishBlock() {
    CdTextBlock block;
    block.lastTrack = 4;
    // "Caf\xE9": ISO 8859-1; the tab says "as the track before".
    block.texts = {
        {kCdTextTitle,
         {"Night Shift", "Opening Theme", "Caf\xE9 du Port", "\t", "Long Way Home Again"}},
        {kCdTextPerformer, {"The Harbour Lights", "", "", "", "Guest Singer"}},
        {kCdTextComposer, {"", "A. Writer", "\t", "\t", ""}},
    };
    block.genreCode = 23;
    return block;
}

TEST(CdTextPacks, OneLanguageWithRepeatsAndAGenre) {
    const CdText text = parseCdText(cdTextReply(cdTextPacks(englishBlock())));
    EXPECT_EQ(text.characterCode, CdTextCharacterCode::Iso8859_1);
    EXPECT_EQ(text.language, 0x09);
    EXPECT_EQ(titlesOf(text, 4),
              (std::vector<std::string>{"Night Shift", "Opening Theme", "Café du Port",
                                        "Café du Port", "Long Way Home Again"}));
    EXPECT_EQ(text.entry(0).performer, "The Harbour Lights");
    EXPECT_EQ(text.entry(4).performer, "Guest Singer");
    EXPECT_EQ(text.entry(3).composer, "A. Writer") << "a tab repeats a repeat";
    EXPECT_EQ(text.genreCode, 23);
    EXPECT_EQ(text.entry(5).title, "") << "no such track";
}

TEST(CdTextPacks, TheFirstLanguageWinsWhateverTheOrderOfTheReply) {
    CdTextBlock japanese;
    japanese.block = 1;
    japanese.characterCode = CdTextCharacterCode::MsJis;
    japanese.language = 0x69;
    japanese.doubleByte = true;
    japanese.lastTrack = 4;
    japanese.texts = {{kCdTextTitle, {"\x96\xe9", "\x8a\x43", "\x8b\xf3", "\t\t", "\x89\xd4"}}};
    Packs packs = cdTextPacks(japanese);
    const Packs english = cdTextPacks(englishBlock());
    packs.insert(packs.end(), english.begin(), english.end());

    const CdText text = parseCdText(cdTextReply(packs));
    EXPECT_EQ(text.entry(0).title, "Night Shift");
    EXPECT_EQ(text.characterCode, CdTextCharacterCode::Iso8859_1);
}

TEST(CdTextPacks, DoubleByteMsJisWithTheDoubleTabRepeat) {
    CdTextBlock block;
    block.characterCode = CdTextCharacterCode::MsJis;
    block.language = 0x69;
    block.doubleByte = true;
    block.lastTrack = 3;
    // 夜の港 / 海 / 空 / (as before); "ABC" mixes single-byte letters into the MS-JIS text.
    block.texts = {{kCdTextTitle, {"\x96\xe9\x82\xcc\x8d\x60", "\x8a\x43", "ABC\x8b\xf3", "\t\t"}},
                   {kCdTextPerformer, {"\x89\xd4\x8e\x71", "", "", ""}}};
    const CdText text = parseCdText(cdTextReply(cdTextPacks(block)));
    EXPECT_EQ(text.characterCode, CdTextCharacterCode::MsJis);
    EXPECT_EQ(titlesOf(text, 3), (std::vector<std::string>{"夜の港", "海", "ABC空", "ABC空"}));
    EXPECT_EQ(text.entry(0).performer, "花子");
}

TEST(CdTextPacks, APackWithABadCrcLosesOnlyTheStringsItHolds) {
    CdTextBlock block;
    block.lastTrack = 5;
    // Each title is exactly one 12-byte payload with its zero, so pack n starts track n.
    block.texts = {{kCdTextTitle,
                    {"Album-Title", "Track-One-T", "Track-Two-T", "Track-Thr-T", "Track-Fou-T",
                     "Track-Fiv-T"}}};
    Packs packs = cdTextPacks(block);
    packs[2].payload[3] ^= 0x20;  // the drive's read of track two's pack went wrong

    const CdText text = parseCdText(cdTextReply(packs));
    EXPECT_EQ(titlesOf(text, 5),
              (std::vector<std::string>{"Album-Title", "Track-One-T", "", "Track-Thr-T",
                                        "Track-Fou-T", "Track-Fiv-T"}));

    // A string spanning the bad pack is dropped whole, not glued from what is left.
    block.texts = {{kCdTextTitle, {"A", "A long first title spanning packs", "Second"}}};
    block.lastTrack = 2;
    packs = cdTextPacks(block);
    packs[1].crc[1] ^= 0x01;
    const CdText spanning = parseCdText(cdTextReply(packs));
    EXPECT_EQ(titlesOf(spanning, 2), (std::vector<std::string>{"A", "", "Second"}));
}

TEST(CdTextPacks, TruncatedRepeatedAndUncheckedReplies) {
    const Packs packs = cdTextPacks(englishBlock());
    std::vector<uint8_t> reply = cdTextReply(packs);
    const CdText whole = parseCdText(reply);

    // Cut inside the fourth pack while the header still announces all of them.
    const std::vector<uint8_t> cut(reply.begin(), reply.begin() + 4 + 3 * 18 + 7);
    const CdText truncated = parseCdText(cut);
    EXPECT_EQ(truncated.entry(0).title, "Night Shift");
    EXPECT_EQ(truncated.entry(1).title, "Opening Theme");
    EXPECT_EQ(truncated.entry(2).title, "");

    Packs twice = packs;
    twice.insert(twice.end(), packs.begin(), packs.end());
    EXPECT_EQ(titlesOf(parseCdText(cdTextReply(twice)), 4), titlesOf(whole, 4));

    Packs cleared = packs;
    for (CdTextPack& pack : cleared) pack.crc[0] = pack.crc[1] = 0;
    EXPECT_EQ(titlesOf(parseCdText(cdTextReply(cleared)), 4), titlesOf(whole, 4))
        << "a drive that clears every CRC field has checked them itself";

    for (size_t length : {0, 3, 4, 21}) {
        EXPECT_TRUE(parseCdText(std::span(reply).first(length)).empty()) << length;
    }
}

}  // namespace
}  // namespace lumbra
