#include "cdaccess/cd_access.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "cdaccess/aspi_manager_transport.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/last_error.h"
#include "cdaccess/passthrough_transport.h"
#include "cdaccess/read_routines.h"
#include "cdaccess/scsi_command.h"
#include "cdaccess/slot_access.h"
#include "platform/named_lock.h"
#include "platform/process_identity.h"
#include "platform/shared_memory.h"

namespace lumbra {
namespace {

constexpr const char* kInitLockName = "ZentorDllMainMutex";
constexpr const char* kHandleLockName = "zentor32_getCDHandle";

struct CdAccessState {
    std::unique_ptr<ScsiTransport> transport = std::make_unique<SubstituteTransport>();
    AspiManagerTransport* aspi = nullptr;                   // when the transport is a library
    PassThroughTransport* passThrough = nullptr;            // when the pass-through was built
    std::unique_ptr<PassThroughTransport> idlePassThrough;  // built for letters only
    std::unique_ptr<platform::SharedMemory> block;
    std::array<std::unique_ptr<platform::NamedLock>, kSlotCount> slotLocks;
};

CdAccessState& state() {
    static CdAccessState instance;
    return instance;
}

std::mutex gTimeoutsMutex;
CdAccessTimeouts gTimeouts;

SharedCdState* sharedState() {
    return state().block ? static_cast<SharedCdState*>(state().block->data()) : nullptr;
}

std::string slotLockName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "zentor32_cdMtx%02d", index);
    return name;
}

std::string aspiLibraryOf(const CdAccessOptions& options) {
    if (!options.aspiLibrary.empty()) return options.aspiLibrary;
    const char* library = std::getenv("LUMBRA_ASPI_LIBRARY");
    return library ? library : "";
}

void configureVirtualDrives(AspiManagerTransport& aspi, const std::string& discs) {
    using Configure = int (*)(const char*, const char*);
    const auto configure = reinterpret_cast<Configure>(aspi.extension("LumbraVirtualConfigure"));
    if (configure) configure(discs.c_str(), nullptr);
}

void chooseTransport(CdAccessState& s, const CdAccessOptions& options) {
    if (const std::string library = aspiLibraryOf(options); !library.empty()) {
        std::string loadError;
        auto aspi = AspiManagerTransport::load(library, loadError);
        if (aspi) {
            if (!options.virtualDiscs.empty()) configureVirtualDrives(*aspi, options.virtualDiscs);
            s.aspi = aspi.get();
            s.transport = std::move(aspi);
            return;
        }
        if (loadError.empty()) return;  // loaded, but an entry point is missing: -2 or -3 set
    }
    if (auto io = makeSystemDeviceIo()) {
        auto passThrough = std::make_unique<PassThroughTransport>(std::move(io));
        s.passThrough = passThrough.get();
        if (passThrough->initialise() > 0) {
            s.transport = std::move(passThrough);
            return;
        }
        s.idlePassThrough = std::move(passThrough);
    }
    setLastError(kErrorNoTransport);
}

bool mapSharedState(CdAccessState& s) {
    s.block = platform::SharedMemory::open(kSharedStateName, kSharedStateSize);
    if (!s.block) return false;
    auto* shared = static_cast<SharedCdState*>(s.block->data());
    if (s.block->createdNew()) std::memset(shared, 0, kSharedStateSize);
    shared->blockSize = kSharedStateSize;
    shared->version = kSharedStateVersion;
    return true;
}

void openSlotLocks(CdAccessState& s) {
    for (int i = 0; i < kSlotCount; ++i) {
        s.slotLocks[size_t(i)] = platform::NamedLock::open(slotLockName(i));
        if (!s.slotLocks[size_t(i)]) return;
    }
}

// A drive library may hold drives of its own program (disc images): it names the disc at an
// address, so that two programs with different discs at the same address do not collide.
uint64_t driveIdentityAt(const OpenDriveRequest& r) {
    using IdentityOf = uint64_t (*)(int, int, int);
    const auto identityOf =
        reinterpret_cast<IdentityOf>(transportExtension("LumbraVirtualDriveIdentity"));
    return identityOf ? identityOf(r.adapter, r.target, r.lun) : 0;
}

uint64_t identityOf(const DriveSlot& slot) {
    return uint64_t(slot.driveIdentity[0]) | uint64_t(slot.driveIdentity[1]) << 32;
}

bool sameDrive(const DriveSlot& slot, const OpenDriveRequest& r, uint64_t identity) {
    return slot.adapter == r.adapter && slot.target == r.target && slot.lun == r.lun &&
           identityOf(slot) == identity;
}

platform::ProcessIdentity ownerOf(const DriveSlot& slot) {
    return {slot.ownerPid, uint64_t(slot.ownerStartTime[0]) | uint64_t(slot.ownerStartTime[1])
                                                                  << 32};
}

// A slot's inUse and generation are read before its lock is taken, so that a stale handle fails
// at once instead of waiting for the lock; they are written whole, atomically, and the rest of
// the record only under the lock.
bool slotInUse(const DriveSlot& slot) {
    // The load writes nothing; atomic_ref only takes a modifiable object.
    auto& inUse = const_cast<int32_t&>(slot.inUse);
    return std::atomic_ref<int32_t>(inUse).load(std::memory_order_acquire) != 0;
}

uint32_t generationOf(DriveSlot& slot) {
    return std::atomic_ref<uint32_t>(slot.generation).load(std::memory_order_acquire);
}

void clearSlot(DriveSlot& slot, uint32_t generation) {
    auto* bytes = reinterpret_cast<unsigned char*>(&slot);
    constexpr size_t kInUseEnd = offsetof(DriveSlot, inUse) + sizeof(int32_t);
    constexpr size_t kGenerationEnd = offsetof(DriveSlot, generation) + sizeof(uint32_t);
    static_assert(kInUseEnd <= offsetof(DriveSlot, generation));
    std::atomic_ref<int32_t>(slot.inUse).store(0, std::memory_order_release);
    std::memset(bytes, 0, offsetof(DriveSlot, inUse));
    std::memset(bytes + kInUseEnd, 0, offsetof(DriveSlot, generation) - kInUseEnd);
    std::memset(bytes + kGenerationEnd, 0, sizeof slot - kGenerationEnd);
    std::atomic_ref<uint32_t>(slot.generation).store(generation, std::memory_order_release);
}

// A process that died with handles open would otherwise keep its drives locked for every later
// instance, since the shared block outlives it.
void reclaimSlotsOfDeadOwners(SharedCdState& shared) {
    for (auto& slot : shared.slots) {
        if (slotInUse(slot) && !platform::isRunning(ownerOf(slot))) emptySlot(slot);
    }
}

void fillSlot(DriveSlot& slot, const OpenDriveRequest& r, uint64_t identity) {
    clearSlot(slot, generationOf(slot));
    slot.adapter = r.adapter;
    slot.target = r.target;
    slot.lun = r.lun;
    slot.readMethod = r.readMethod > kHighestReadMethod ? 0 : r.readMethod;
    slot.readRoutine = readRoutineFor(slot.readMethod);
    slot.compareFrames = r.compareFrames;
    slot.overlapFrames = r.overlapFrames;
    const auto owner = platform::currentProcess();
    slot.ownerPid = owner.pid;
    slot.ownerStartTime[0] = uint32_t(owner.startTime);
    slot.ownerStartTime[1] = uint32_t(owner.startTime >> 32);
    slot.driveIdentity[0] = uint32_t(identity);
    slot.driveIdentity[1] = uint32_t(identity >> 32);
    std::atomic_ref<int32_t>(slot.inUse).store(1, std::memory_order_release);
}

int findFreeSlot(const SharedCdState& shared) {
    for (int n = 0; n < kSlotCount; ++n) {
        const int i = int((shared.nextSlot + uint32_t(n)) % kSlotCount);
        if (!slotInUse(shared.slots[i])) return i;
    }
    return -1;
}

int allocateSlot(SharedCdState& shared, const OpenDriveRequest& r) {
    reclaimSlotsOfDeadOwners(shared);
    const uint64_t identity = driveIdentityAt(r);
    for (const auto& slot : shared.slots) {
        if (slotInUse(slot) && sameDrive(slot, r, identity)) {
            setLastError(kErrorDriveAlreadyOpen);
            return 0;
        }
    }
    int type = 0;
    if (!queryDeviceType(r.adapter, r.target, r.lun, &type, nullptr, 0) ||
        type != kDeviceTypeCdRom) {
        setLastErrorUnlessSet(kErrorNotCdRom);
        return 0;
    }
    const int index = findFreeSlot(shared);
    if (index < 0) {
        setLastError(kErrorNoFreeSlot);
        return 0;
    }
    fillSlot(shared.slots[index], r, identity);
    shared.nextSlot = uint32_t(index);
    if (state().passThrough && state().passThrough->isActive()) {
        state().passThrough->ensureDeviceOpen(r.adapter, r.target, r.lun);
    }
    return handleFor(index, generationOf(shared.slots[index]));
}

}  // namespace

bool initCdAccess(const CdAccessOptions& options) {
    CdAccessState& s = state();
    if (s.block) return true;
    auto initLock = platform::NamedLock::open(kInitLockName);
    if (!initLock) return false;
    platform::NamedLockGuard guard(*initLock, cdAccessTimeouts().initLock);
    if (!guard.owns()) return false;
    chooseTransport(s, options);
    if (!mapSharedState(s)) return false;
    openSlotLocks(s);
    return true;
}

void shutdownCdAccess() {
    CdAccessState& s = state();
    auto initLock = platform::NamedLock::open(kInitLockName);
    if (!initLock) return;
    platform::NamedLockGuard guard(*initLock, cdAccessTimeouts().initLock);
    if (!guard.owns()) return;
    for (auto& lock : s.slotLocks) lock.reset();
    s.block.reset();
    if (s.passThrough) s.passThrough->closeAllDevices();
    s.idlePassThrough.reset();
    s.passThrough = nullptr;
    s.aspi = nullptr;
    s.transport = std::make_unique<SubstituteTransport>();
    releaseAbandonedCommands();
}

int getCDHandle(const OpenDriveRequest* request) {
    if (!request) {
        setLastError(kErrorNoOpenRequest);
        return 0;
    }
    if (request->size < kOpenDriveRequestSize || request->version != kOpenDriveRequestVersion) {
        setLastError(kErrorBadOpenRequest);
        return 0;
    }
    SharedCdState* shared = sharedState();
    auto handleLock = platform::NamedLock::open(kHandleLockName);
    if (!shared || !handleLock) {
        setLastError(kErrorLockTimeout);
        return 0;
    }
    platform::NamedLockGuard guard(*handleLock, cdAccessTimeouts().handleLock);
    if (!guard.owns()) {
        setLastError(kErrorLockTimeout);
        return 0;
    }
    return allocateSlot(*shared, *request);
}

int releaseCDHandle(int handle) {
    DriveSlot* slot = slotOfHandle(handle);
    if (!slot || !slotInUse(*slot)) return 0;
    SlotGuard guard(handle);
    if (!guard.ok()) return 0;
    runRestoreRoutine(handle, guard.slot());
    emptySlot(guard.slot());
    return 1;
}

int setDriveParameter(int handle, int code, int value) {
    DriveSlot* slot = slotOfHandle(handle);
    if (!slot) {
        setLastError(kErrorBadHandle);
        return 0;
    }
    SlotGuard guard(handle);
    if (guard.timedOut()) return kResultFailed;
    if (!guard.ok()) return 0;
    switch (code) {
        case kParamReadSpeed:
            return setReadSpeed(handle, value);
        case kParamAddressForm:
            slot->addressMsf = value;
            return 1;
        case kParamOverlapFrames:
            slot->overlapFrames = value;
            return 1;
        case kParamCompareFrames:
            slot->compareFrames = value;
            return 1;
        case kParamStoredOnly:
            slot->parameter27 = value;
            return 1;
        default:
            setLastError(kErrorBadHandle);
            return 0;
    }
}

bool driveHeldByAnotherProgram(const OpenDriveRequest& request) {
    SharedCdState* shared = sharedState();
    if (!shared) return false;
    const uint64_t identity = driveIdentityAt(request);
    const auto self = platform::currentProcess();
    for (const auto& slot : shared->slots) {
        if (slotInUse(slot) && sameDrive(slot, request, identity) && slot.ownerPid != self.pid &&
            platform::isRunning(ownerOf(slot))) {
            return true;
        }
    }
    return false;
}

ScsiTransport& activeTransport() {
    return *state().transport;
}

PassThroughTransport* passThroughBackEnd() {
    return state().passThrough;
}

int initialisePassThroughBackEnd() {
    CdAccessState& s = state();
    if (!s.passThrough) {
        auto io = makeSystemDeviceIo();
        if (!io) return 0;
        s.idlePassThrough = std::make_unique<PassThroughTransport>(std::move(io));
        s.passThrough = s.idlePassThrough.get();
    }
    return s.passThrough->initialise();
}

void* transportExtension(const char* name) {
    return state().aspi ? state().aspi->extension(name) : nullptr;
}

CdAccessTimeouts cdAccessTimeouts() {
    std::lock_guard lock(gTimeoutsMutex);
    return gTimeouts;
}

void setCdAccessTimeouts(const CdAccessTimeouts& timeouts) {
    std::lock_guard lock(gTimeoutsMutex);
    gTimeouts = timeouts;
}

int slotIndexOfHandle(int handle) {
    const int index = (handle & ((1 << kHandleSlotBits) - 1)) - 1;
    return handle > 0 && index >= 0 && index < kSlotCount ? index : -1;
}

DriveSlot* slotOfHandle(int handle) {
    SharedCdState* shared = sharedState();
    const int index = slotIndexOfHandle(handle);
    if (!shared || index < 0) return nullptr;
    DriveSlot& slot = shared->slots[index];
    if (handleFor(index, generationOf(slot)) != handle) return nullptr;
    return &slot;
}

void emptySlot(DriveSlot& slot) {
    clearSlot(slot, generationOf(slot) + 1);
}

SlotGuard::SlotGuard(int handle) {
    DriveSlot* slot = slotOfHandle(handle);
    platform::NamedLock* lock =
        slot ? state().slotLocks[size_t(slotIndexOfHandle(handle))].get() : nullptr;
    if (!slot || !slotInUse(*slot) || !lock) {
        setLastError(kErrorBadHandle);
        return;
    }
    if (lock->lockFor(cdAccessTimeouts().slotLock) != platform::LockResult::Acquired) {
        setLastError(kErrorLockTimeout);
        timedOut_ = true;
        return;
    }
    lock_ = lock;
    // Released by another thread while we waited, and perhaps opened again by someone else.
    if (!slotInUse(*slot) || slotOfHandle(handle) != slot) {
        setLastError(kErrorBadHandle);
        return;
    }
    slot_ = slot;
}

SlotGuard::~SlotGuard() {
    if (lock_) lock_->unlock();
}

}  // namespace lumbra
