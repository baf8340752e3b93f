#include "cdaccess/mmc_commands.h"

#include <algorithm>

namespace lumbra::mmc {
namespace {

constexpr uint8_t kSixBytes = 6;
constexpr uint8_t kTenBytes = 10;
constexpr uint8_t kTwelveBytes = 12;

Cdb start(uint8_t opcode, uint8_t length) {
    Cdb cdb;
    cdb.bytes[0] = opcode;
    cdb.length = length;
    return cdb;
}

std::span<uint8_t> field(Cdb& cdb, std::size_t offset, std::size_t width) {
    return std::span<uint8_t>(cdb.bytes).subspan(offset, width);
}

// Audio reads address at most 24 bits of frames; the byte above stays zero, whatever the caller's
// address, since the drive families that take these commands read it as reserved.
void putFrameAddress(Cdb& cdb, uint32_t lba) {
    putBigEndian(field(cdb, 2, 4), lba & 0x00FFFFFF);
}

}  // namespace

Cdb testUnitReady() {
    return start(kOpTestUnitReady, kSixBytes);
}

Cdb inquiry(uint8_t allocationLength) {
    Cdb cdb = start(kOpInquiry, kSixBytes);
    cdb.bytes[4] = allocationLength;
    return cdb;
}

Cdb readToc(bool msf, uint16_t allocationLength) {
    Cdb cdb = start(kOpReadToc, kTenBytes);
    cdb.bytes[1] = msf ? kReadTocMsfBit : 0;
    putBigEndian(field(cdb, 7, 2), allocationLength);
    return cdb;
}

Cdb readTocFormat(uint8_t format, uint16_t allocationLength) {
    Cdb cdb = start(kOpReadToc, kTenBytes);
    cdb.bytes[2] = format & kReadTocFormatMask;
    putBigEndian(field(cdb, 7, 2), allocationLength);
    return cdb;
}

Cdb readSubChannel(uint8_t format, uint8_t track, uint16_t allocationLength) {
    Cdb cdb = start(kOpReadSubChannel, kTenBytes);
    cdb.bytes[2] = kSubChannelQBit;
    cdb.bytes[3] = format;
    cdb.bytes[6] = track;
    putBigEndian(field(cdb, 7, 2), allocationLength);
    return cdb;
}

Cdb readCd(uint32_t lba, uint32_t frames, uint8_t expectedSectorType, uint8_t returnedFields) {
    Cdb cdb = start(kOpReadCd, kTwelveBytes);
    cdb.bytes[1] = expectedSectorType;
    putFrameAddress(cdb, lba);
    putBigEndian(field(cdb, 6, 3), frames);
    cdb.bytes[9] = returnedFields;
    return cdb;
}

Cdb read10(uint8_t lun, uint32_t lba, uint16_t blocks) {
    Cdb cdb = start(kOpRead10, kTenBytes);
    cdb.bytes[1] = uint8_t(lun << 5);
    putFrameAddress(cdb, lba);
    putBigEndian(field(cdb, 7, 2), blocks);
    return cdb;
}

Cdb vendorReadD8(uint32_t lba, uint32_t frames) {
    Cdb cdb = start(kOpVendorReadD8, kTwelveBytes);
    putFrameAddress(cdb, lba);
    putBigEndian(field(cdb, 6, 4), frames);
    return cdb;
}

Cdb vendorReadD4(uint32_t lba, uint16_t frames) {
    Cdb cdb = start(kOpVendorReadD4, kTenBytes);
    putFrameAddress(cdb, lba);
    putBigEndian(field(cdb, 7, 2), frames);
    return cdb;
}

Cdb modeSelect6(bool pageFormat, uint8_t parameterListLength) {
    Cdb cdb = start(kOpModeSelect6, kSixBytes);
    cdb.bytes[1] = pageFormat ? kModeSelectPageFormatBit : 0;
    cdb.bytes[4] = parameterListLength;
    return cdb;
}

Cdb pauseResume(bool resume) {
    Cdb cdb = start(kOpPauseResume, kTenBytes);
    cdb.bytes[8] = resume ? 1 : 0;
    return cdb;
}

Cdb setCdSpeed(uint16_t readSpeed, uint16_t writeSpeed) {
    Cdb cdb = start(kOpSetCdSpeed, kTwelveBytes);
    putBigEndian(field(cdb, 2, 2), readSpeed);
    putBigEndian(field(cdb, 4, 2), writeSpeed);
    return cdb;
}

Cdb startStopUnit(bool loadEject, bool start) {
    Cdb cdb = mmc::start(kOpStartStopUnit, kSixBytes);
    cdb.bytes[4] =
        uint8_t((loadEject ? kStartStopLoadEjectBit : 0) | (start ? kStartStopStartBit : 0));
    return cdb;
}

Cdb preventAllowMediumRemoval(bool prevent) {
    Cdb cdb = start(kOpPreventAllowMediumRemoval, kSixBytes);
    cdb.bytes[4] = prevent ? kPreventRemovalBit : 0;
    return cdb;
}

ModeParameters blockDescriptorList(uint8_t density, uint32_t blockLength) {
    ModeParameters list;
    list.bytes[3] = kBlockDescriptorBytes;
    uint8_t* descriptor = list.bytes.data() + kModeHeaderBytes;
    descriptor[0] = density;
    // Number of blocks 0: the descriptor applies to every block on the medium.
    putBigEndian({descriptor + 5, 3}, blockLength);
    list.length = kModeHeaderBytes + kBlockDescriptorBytes;
    return list;
}

void appendPage(ModeParameters& list, uint8_t pageCode, std::span<const uint8_t> body) {
    if (list.length + 2 + body.size() > list.bytes.size()) return;
    uint8_t* page = list.bytes.data() + list.length;
    page[0] = pageCode;
    page[1] = uint8_t(body.size());
    std::copy(body.begin(), body.end(), page + 2);
    list.length = uint8_t(list.length + 2 + body.size());
}

}  // namespace lumbra::mmc
