// Command blocks and parameter lists byte for byte as drives expect them: a field one byte off
// still makes a well-formed command, which a drive then reads at the wrong place.
#include "cdaccess/mmc_commands.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumbra::mmc {
namespace {

std::vector<uint8_t> bytesOf(const Cdb& cdb) {
    return {cdb.view().begin(), cdb.view().end()};
}

struct BuilderCase {
    const char* name;
    Cdb cdb;
    std::vector<uint8_t> expected;
};

TEST(MmcCommands, BuildTheBlocksDrivesExpect) {
    const BuilderCase cases[] = {
        {"test unit ready", testUnitReady(), {0x00, 0, 0, 0, 0, 0}},
        {"inquiry", inquiry(36), {0x12, 0, 0, 0, 36, 0}},
        {"toc in lba", readToc(false, 804), {0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}},
        {"toc in msf", readToc(true, 12), {0x43, 0x02, 0, 0, 0, 0, 0, 0, 12, 0}},
        {"read cd",
         readCd(0x012345, 26, kReadCdAnySector, kReadCdAllHeaders),
         {0xBE, 0, 0, 0x01, 0x23, 0x45, 0, 0, 26, 0xF0, 0, 0}},
        {"read cd of cd-da sectors",
         readCd(7, 1, kReadCdCddaSector, kReadCdUserData),
         {0xBE, 0x04, 0, 0, 0, 7, 0, 0, 1, 0x10, 0, 0}},
        {"read cd beyond a byte of count",
         readCd(0, 0x10203, kReadCdAnySector, kReadCdUserData),
         {0xBE, 0, 0, 0, 0, 0, 0x01, 0x02, 0x03, 0x10, 0, 0}},
        {"read(10) with lun 2",
         read10(2, 0x0A0B0C, 255),
         {0x28, 0x40, 0, 0x0A, 0x0B, 0x0C, 0, 0, 255, 0}},
        {"vendor d8", vendorReadD8(0x0102, 26), {0xD8, 0, 0, 0, 0x01, 0x02, 0, 0, 0, 26, 0, 0}},
        {"vendor d4", vendorReadD4(0x0102, 26), {0xD4, 0, 0, 0, 0x01, 0x02, 0, 0, 26, 0}},
        {"frame address keeps 24 bits",
         read10(0, 0xFFFFFFFF, 1),
         {0x28, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 1, 0}},
        {"mode select", modeSelect6(false, 12), {0x15, 0, 0, 0, 12, 0}},
        {"mode select in page format", modeSelect6(true, 20), {0x15, 0x10, 0, 0, 20, 0}},
        {"pause", pauseResume(false), {0x4B, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"resume", pauseResume(true), {0x4B, 0, 0, 0, 0, 0, 0, 0, 1, 0}},
        {"set cd speed", setCdSpeed(0x0B0C, 0), {0xBB, 0, 0x0B, 0x0C, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"eject", startStopUnit(true, false), {0x1B, 0, 0, 0, 0x02, 0}},
        {"load", startStopUnit(true, true), {0x1B, 0, 0, 0, 0x03, 0}},
        {"allow removal", preventAllowMediumRemoval(false), {0x1E, 0, 0, 0, 0, 0}},
        {"prevent removal", preventAllowMediumRemoval(true), {0x1E, 0, 0, 0, 1, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(bytesOf(c.cdb), c.expected) << c.name;
}

TEST(MmcCommands, BuildsBlockDescriptorListsWithPages) {
    ModeParameters list = blockDescriptorList(0x53, 2048);
    EXPECT_EQ(std::vector<uint8_t>(list.bytes.begin(), list.bytes.begin() + list.length),
              (std::vector<uint8_t>{0, 0, 0, 8, 0x53, 0, 0, 0, 0, 0, 0x08, 0x00}));

    list = blockDescriptorList(0, 2352);
    const uint8_t body[] = {0x20, 7, 0, 0, 0, 0};
    appendPage(list, 0x01, body);
    EXPECT_EQ(std::vector<uint8_t>(list.bytes.begin(), list.bytes.begin() + list.length),
              (std::vector<uint8_t>{0,    0,    0,    8, 0,    0, 0, 0, 0, 0,
                                    0x09, 0x30, 0x01, 6, 0x20, 7, 0, 0, 0, 0}));
    appendPage(list, 0x02, body);
    EXPECT_EQ(list.length, 20) << "a page without room is left out";
}

}  // namespace
}  // namespace lumbra::mmc
