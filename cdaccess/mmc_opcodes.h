// Operation codes and command-block fields of the SCSI and MMC commands we send, shared by the
// command builders and the virtual drive that answers them, so both read the same values.
#pragma once

#include <cstdint>

namespace lumbra {

inline constexpr uint8_t kOpTestUnitReady = 0x00;
inline constexpr uint8_t kOpInquiry = 0x12;
inline constexpr uint8_t kOpModeSelect6 = 0x15;
inline constexpr uint8_t kOpStartStopUnit = 0x1B;
inline constexpr uint8_t kOpPreventAllowMediumRemoval = 0x1E;
inline constexpr uint8_t kOpRead10 = 0x28;
inline constexpr uint8_t kOpReadSubChannel = 0x42;
inline constexpr uint8_t kOpReadToc = 0x43;
inline constexpr uint8_t kOpPauseResume = 0x4B;
inline constexpr uint8_t kOpModeSelect10 = 0x55;
inline constexpr uint8_t kOpSetCdSpeed = 0xBB;
inline constexpr uint8_t kOpReadCd = 0xBE;
// Audio reads of drive families that predate READ CD.
inline constexpr uint8_t kOpVendorReadD4 = 0xD4;
inline constexpr uint8_t kOpVendorReadD8 = 0xD8;

// INQUIRY byte 1: vital product data instead of the standard reply.
inline constexpr uint8_t kInquiryEvpdBit = 0x01;
// MODE SELECT byte 1: the parameter list holds pages in the standard page format.
inline constexpr uint8_t kModeSelectPageFormatBit = 0x10;
// READ TOC byte 1: addresses as minute, second and frame instead of block addresses.
inline constexpr uint8_t kReadTocMsfBit = 0x02;
// READ TOC byte 2, bits 3-0: what to read. 0 is the table of contents, 5 the CD-Text packs of
// the lead-in.
inline constexpr uint8_t kReadTocFormatMask = 0x0F;
inline constexpr uint8_t kReadTocFormatToc = 0x00;
inline constexpr uint8_t kReadTocFormatCdText = 0x05;
// READ SUB-CHANNEL byte 2 asks for Q sub-channel data; byte 3 names the kind: the media
// catalogue number (2) or a track's ISRC (3, the track in byte 6).
inline constexpr uint8_t kSubChannelQBit = 0x40;
inline constexpr uint8_t kSubChannelCatalogue = 0x02;
inline constexpr uint8_t kSubChannelIsrc = 0x03;
// START STOP UNIT byte 4: move the tray (with start clear: open it; set: close it).
inline constexpr uint8_t kStartStopLoadEjectBit = 0x02;
inline constexpr uint8_t kStartStopStartBit = 0x01;
// PREVENT ALLOW MEDIUM REMOVAL byte 4: keep the tray locked.
inline constexpr uint8_t kPreventRemovalBit = 0x01;

// READ CD byte 1, bits 4-2: which sector type the drive must find. CD-DA makes a drive that
// cannot tell audio from data on its own read audio frames.
inline constexpr uint8_t kReadCdAnySector = 0x00;
inline constexpr uint8_t kReadCdCddaSector = 0x01 << 2;
inline constexpr uint8_t kReadCdSectorTypeMask = 0x07 << 2;
// READ CD byte 9: which parts of each sector to return. For audio sectors both mean the whole
// 2,352 bytes of samples.
inline constexpr uint8_t kReadCdUserData = 0x10;
inline constexpr uint8_t kReadCdAllHeaders = 0xF0;

// Where an audio read names its frames: the first at bytes 2 to 5, the count in a field that
// differs by command. A width of 0: the operation code reads no audio.
struct AudioReadFields {
    uint8_t countOffset = 0;
    uint8_t countWidth = 0;
};
inline constexpr uint8_t kReadAddressOffset = 2;
inline constexpr uint8_t kReadAddressWidth = 4;

constexpr AudioReadFields audioReadFields(uint8_t opcode) {
    switch (opcode) {
        case kOpReadCd:
            return {6, 3};
        case kOpVendorReadD8:
            return {6, 4};
        case kOpRead10:
        case kOpVendorReadD4:
            return {7, 2};
        default:
            return {};
    }
}

}  // namespace lumbra
