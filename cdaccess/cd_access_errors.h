// Codes left in the per-process last-error cell after a failure.
#pragma once

namespace lumbra {

enum CdAccessError : int {
    kErrorNone = 0,
    kErrorNoTransport = -1,
    kErrorNoSupportInfoEntry = -2,
    kErrorNoSendCommandEntry = -3,
    kErrorCommandFailed = -4,
    kErrorBufferTooSmall = -6,
    kErrorBadHandle = -7,
    kErrorNoFreeSlot = -8,
    kErrorNotCdRom = -10,
    kErrorLockTimeout = -11,
    kErrorDriveAlreadyOpen = -12,
    kErrorNoOpenRequest = -13,
    kErrorBadOpenRequest = -14,
    kErrorNoJitterMatch = -15,
    kErrorNoAdapter = -16,
    kErrorNoCdDrive = -17,
    // A read reported success but left the buffer as it was: its own status was good.
    kErrorReadLeftBufferUntouched = -18,
};

// The results of layer operations.
inline constexpr int kResultDone = 1;
inline constexpr int kResultFailed = 4;

}  // namespace lumbra
