// The drive slots every running instance shares, in named shared memory, and the request that
// opens one. Layouts are pinned: several processes map the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumbra {

inline constexpr int kSlotCount = 16;

// A handle is the slot index plus 1 in its low byte and the slot's generation above it, so the
// first handle of every slot is 1 to 16.
inline constexpr int kHandleSlotBits = 8;
inline constexpr uint32_t kHandleGenerationMask = 0x7FFFFF;  // keeps handles positive

inline constexpr int handleFor(int slotIndex, uint32_t generation) {
    return int((generation & kHandleGenerationMask) << kHandleSlotBits | uint32_t(slotIndex + 1));
}
inline constexpr uint32_t kSharedStateSize = 1804;
inline constexpr uint32_t kSharedStateVersion = 2;
inline constexpr const char* kSharedStateName = "zentor32memmap2";

struct DriveSlot {
    uint8_t adapter;
    uint8_t target;
    uint8_t lun;
    uint8_t readMethod;  // ReadMethod code
    int32_t inUse;       // nonzero while a handle is open
    int32_t addressMsf;  // READ TOC address form: 0 LBA, nonzero MSF
    int32_t prepared;    // the read method's one-time drive set-up is done
    // Who holds the handle, so that a crashed owner's slot can be reclaimed; kept in bytes the
    // original layout leaves reserved.
    // The start time is split in two words so the record keeps 4-byte alignment.
    int32_t ownerPid;
    uint32_t ownerStartTime[2];
    uint8_t readCdSectorType;  // a ReadCdSectorType code
    uint8_t padding[3];
    // Counts the slot's releases; every handle carries the count of its opening, so a handle
    // that was released stays unusable after its slot has been opened again.
    uint32_t generation;
    // Which disc a drive that belongs to one program holds (a virtual drive), 0 for a drive every
    // program shares: the same address in two programs is one drive only when both are equal.
    uint32_t driveIdentity[2];
    uint8_t reserved[44];
    int32_t readRoutine;     // code of the routine that reads for this slot
    int32_t restoreRoutine;  // code of the routine run at release, 0 for none
    int32_t compareFrames;
    int32_t overlapFrames;
    int32_t parameter27;  // stored only
};
static_assert(sizeof(DriveSlot) == 108);
static_assert(offsetof(DriveSlot, inUse) == 4 && offsetof(DriveSlot, addressMsf) == 8);
static_assert(offsetof(DriveSlot, prepared) == 12 && offsetof(DriveSlot, ownerPid) == 16);
static_assert(offsetof(DriveSlot, generation) == 32);
static_assert(offsetof(DriveSlot, driveIdentity) == 36 && offsetof(DriveSlot, reserved) == 44);
static_assert(offsetof(DriveSlot, readRoutine) == 88 && offsetof(DriveSlot, restoreRoutine) == 92);
static_assert(offsetof(DriveSlot, compareFrames) == 96 && offsetof(DriveSlot, parameter27) == 104);

struct SharedCdState {
    uint32_t blockSize;
    uint32_t version;
    DriveSlot slots[kSlotCount];
    uint32_t reserved[16];
    uint32_t nextSlot;  // where the search for a free slot starts
};
static_assert(sizeof(SharedCdState) == kSharedStateSize);
static_assert(offsetof(SharedCdState, slots) == 8 && offsetof(SharedCdState, reserved) == 1736);
static_assert(offsetof(SharedCdState, nextSlot) == 1800);

#pragma pack(push, 1)
struct OpenDriveRequest {
    uint8_t size;     // at least 12
    uint8_t version;  // 1
    uint8_t adapter;
    uint8_t target;
    uint8_t lun;
    uint8_t readMethod;  // 0 = detect
    int32_t jitter;      // carried, not read here
    uint8_t compareFrames;
    uint8_t overlapFrames;
};
#pragma pack(pop)
static_assert(sizeof(OpenDriveRequest) == 12 && offsetof(OpenDriveRequest, jitter) == 6);

inline constexpr uint8_t kOpenDriveRequestSize = 12;
inline constexpr uint8_t kOpenDriveRequestVersion = 1;

}  // namespace lumbra
