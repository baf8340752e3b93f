// The command blocks we send to CD drives, one builder per command, and the MODE SELECT parameter
// lists of the drive set-ups. Every multi-byte field is big-endian, as SCSI wants it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "cdaccess/mmc_opcodes.h"

namespace lumbra::mmc {

// Writes `value` into `field` with its most significant byte first; the higher bytes of a value
// wider than the field are dropped.
constexpr void putBigEndian(std::span<uint8_t> field, uint32_t value) {
    for (std::size_t i = field.size(); i-- > 0; value >>= 8) field[i] = uint8_t(value);
}
constexpr uint32_t readBigEndian(std::span<const uint8_t> field) {
    uint32_t value = 0;
    for (uint8_t byte : field) value = value << 8 | byte;
    return value;
}

struct Cdb {
    std::array<uint8_t, 16> bytes{};
    uint8_t length = 0;

    std::span<const uint8_t> view() const { return {bytes.data(), length}; }
};

Cdb testUnitReady();
Cdb inquiry(uint8_t allocationLength);
// Format 0 (the table of contents) from the first track.
Cdb readToc(bool msf, uint16_t allocationLength);
// Another READ TOC format, such as the CD-Text packs (kReadTocFormatCdText).
Cdb readTocFormat(uint8_t format, uint16_t allocationLength);
// Q sub-channel data of one kind (kSubChannelCatalogue, kSubChannelIsrc of `track`).
Cdb readSubChannel(uint8_t format, uint8_t track, uint16_t allocationLength);
Cdb readCd(uint32_t lba, uint32_t frames, uint8_t expectedSectorType, uint8_t returnedFields);
// `lun` goes into the LUN bits of byte 1, which old drives still read.
Cdb read10(uint8_t lun, uint32_t lba, uint16_t blocks);
Cdb vendorReadD8(uint32_t lba, uint32_t frames);
Cdb vendorReadD4(uint32_t lba, uint16_t frames);
Cdb modeSelect6(bool pageFormat, uint8_t parameterListLength);
Cdb pauseResume(bool resume);
// Speeds in kB/s; 0xFFFF asks for the drive's highest.
Cdb setCdSpeed(uint16_t readSpeed, uint16_t writeSpeed);
Cdb startStopUnit(bool loadEject, bool start);
Cdb preventAllowMediumRemoval(bool prevent);

// A MODE SELECT(6) parameter list: the 4-byte header, an optional 8-byte block descriptor and
// the pages after it.
struct ModeParameters {
    std::array<uint8_t, 20> bytes{};
    uint8_t length = 0;

    uint8_t* data() { return bytes.data(); }
};
inline constexpr std::size_t kModeHeaderBytes = 4;
inline constexpr std::size_t kBlockDescriptorBytes = 8;

// A header and one block descriptor for every block on the disc at `density`.
ModeParameters blockDescriptorList(uint8_t density, uint32_t blockLength);
// Appends a page: its code, its length and `body`; a page that does not fit is left out.
void appendPage(ModeParameters& list, uint8_t pageCode, std::span<const uint8_t> body);

}  // namespace lumbra::mmc
