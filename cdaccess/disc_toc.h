// The table of contents as the drive sends it (READ TOC format 0), and reading it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cdaccess/cd_frame.h"

namespace lumbra {

inline constexpr size_t kTocBufferSize = 804;
inline constexpr int kMaxTocDescriptors = 100;
inline constexpr uint8_t kLeadOutTrack = 0xAA;
inline constexpr uint8_t kDataTrackControl = 0x04;

struct TocDescriptor {
    uint8_t reserved1;
    uint8_t adrControl;
    uint8_t trackNumber;
    uint8_t reserved2;
    uint8_t address[4];  // big-endian LBA, or 0, minute, second, frame
};
static_assert(sizeof(TocDescriptor) == 8);

struct TocBuffer {
    uint8_t dataLength[2];  // big-endian: bytes after this field
    uint8_t firstTrack;
    uint8_t lastTrack;
    TocDescriptor descriptors[kMaxTocDescriptors];
};
static_assert(sizeof(TocBuffer) == kTocBufferSize);

// Whether the descriptor's track holds data rather than audio.
inline bool isDataTrack(const TocDescriptor& descriptor) {
    return (descriptor.adrControl & kDataTrackControl) != 0;
}

// READ TOC through an open handle, in the slot's address form (LBA, or MSF after parameter
// 0x24): 1, or 4 with -7 (bad handle), -11 (lock time-out) or -4 (command failed).
int readDiscToc(int handle, TocBuffer& toc);

// The start address of a descriptor as a frame number, whichever form the table holds.
int32_t descriptorLba(const TocDescriptor& descriptor, bool msf);

}  // namespace lumbra
