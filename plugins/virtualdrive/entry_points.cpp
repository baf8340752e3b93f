// The library's C entry points, the only symbols it exports (see exports.map). Nothing may
// escape them as an exception: their callers are C.
#include <cstdint>
#include <cstdlib>
#include <exception>

#include "plugins/virtualdrive/aspi_manager.h"
#include "plugins/virtualdrive/virtual_drive_library.h"

namespace {

using lumbra::virtualdrive::VirtualDriveLibrary;

template <typename Result, typename Body>
Result guarded(Result onFailure, Body body) noexcept {
    try {
        return body(VirtualDriveLibrary::instance());
    } catch (const std::exception&) {
        return onFailure;
    }
}

constexpr uint32_t kStatusError = 4;

}  // namespace

#define LUMBRA_EXPORT extern "C" __attribute__((visibility("default")))

LUMBRA_EXPORT uint32_t GetASPI32SupportInfo(void) {
    return guarded(uint32_t(0), [](VirtualDriveLibrary& library) {
        return lumbra::virtualdrive::aspiSupportInfo(library);
    });
}

LUMBRA_EXPORT uint32_t SendASPI32Command(void* request) {
    return guarded(kStatusError, [request](VirtualDriveLibrary& library) {
        return lumbra::virtualdrive::aspiSendCommand(library, request);
    });
}

LUMBRA_EXPORT int LumbraVirtualDriveCount(void) {
    return guarded(0, [](VirtualDriveLibrary& library) { return library.driveCount(); });
}

LUMBRA_EXPORT const char* LumbraVirtualDriveName(int index) {
    return guarded(static_cast<const char*>(nullptr),
                   [index](VirtualDriveLibrary& library) { return library.driveName(index); });
}

// Null faults keep those of LUMBRA_VIRTUAL_FAULTS, so a program that names its discs itself still
// lets the environment inject faults.
LUMBRA_EXPORT int LumbraVirtualConfigure(const char* discs, const char* faults) {
    return guarded(0, [discs, faults](VirtualDriveLibrary& library) {
        const char* chosenFaults = faults ? faults : std::getenv("LUMBRA_VIRTUAL_FAULTS");
        return library.configure(discs ? discs : "", chosenFaults ? chosenFaults : "");
    });
}

LUMBRA_EXPORT int LumbraVirtualInsertDisc(int index, const char* disc) {
    return guarded(0, [index, disc](VirtualDriveLibrary& library) {
        return library.insertDisc(index, disc ? disc : "") ? 1 : 0;
    });
}

LUMBRA_EXPORT uint64_t LumbraVirtualDriveIdentity(int adapter, int target, int lun) {
    return guarded(uint64_t(0), [adapter, target, lun](VirtualDriveLibrary& library) {
        return library.driveIdentity(adapter, target, lun);
    });
}
