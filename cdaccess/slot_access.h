// Inside the CD access layer: a handle's slot and its lock.
#pragma once

#include "cdaccess/shared_cd_state.h"
#include "platform/named_lock.h"

namespace lumbra {

// The slot of a handle (in use or not), or nullptr when the handle names no slot, belongs to an
// earlier opening of its slot, or the layer is not initialised.
DriveSlot* slotOfHandle(int handle);
// The slot index in a handle's low byte, or -1 when it names none.
int slotIndexOfHandle(int handle);
// Frees a slot for its next opening, whose handles differ from every earlier one's.
void emptySlot(DriveSlot& slot);

// Validates the handle (-7) and holds its slot lock (-11 after the slot-lock time-out) for one
// scope; ok() tells whether both succeeded and the slot is in use.
class SlotGuard {
public:
    explicit SlotGuard(int handle);
    SlotGuard(const SlotGuard&) = delete;
    SlotGuard& operator=(const SlotGuard&) = delete;
    ~SlotGuard();

    bool ok() const { return slot_ != nullptr; }
    bool timedOut() const { return timedOut_; }
    DriveSlot& slot() const { return *slot_; }

private:
    platform::NamedLock* lock_ = nullptr;
    DriveSlot* slot_ = nullptr;
    bool timedOut_ = false;
};

}  // namespace lumbra
