// Inside the CD access layer: a handle's slot and its lock.
#pragma once

#include "cdaccess/shared_cd_state.h"
#include "platform/named_lock.h"

namespace lumbra {

// The slot of a handle in 1..16 (in use or not), or nullptr when the handle is out of range or
// the layer is not initialised.
DriveSlot* slotOfHandle(int handle);

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
