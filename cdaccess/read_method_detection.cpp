#include "cdaccess/read_method_detection.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "cdaccess/audio_reads.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/last_error.h"
#include "cdaccess/read_methods.h"
#include "cdaccess/slot_access.h"

namespace lumbra {
namespace {

constexpr std::array kDetectionOrder{
    ReadMethod::ReadCdAllHeaders, ReadMethod::ReadCdUserData, ReadMethod::Read10PageFormat,
    ReadMethod::Read10Alike,      ReadMethod::VendorD8,       ReadMethod::VendorD4,
    ReadMethod::VendorD4Selected,
};
constexpr int kTestReadsPerMethod = 3;
constexpr uint8_t kFillByte = 0xAA;
constexpr uint32_t kFillWord = 0xAAAAAAAA;
constexpr int kUntouchedWords = 8;

// Some drives report success for a read command they do not support and leave the buffer as it
// was; eight words of the fill in a row are never audio, so they give such a drive away.
bool fillLeftUntouched(const TrackBuffer& buffer) {
    const auto data = buffer.validData();
    int run = 0;
    for (size_t i = 0; i + sizeof(uint32_t) <= data.size(); i += sizeof(uint32_t)) {
        uint32_t word;
        std::memcpy(&word, data.data() + i, sizeof word);
        run = word == kFillWord ? run + 1 : 0;
        if (run == kUntouchedWords) return true;
    }
    return false;
}

int testRead(int handle, ReadMethod method, TrackBuffer& buffer) {
    std::fill_n(buffer.data.begin(), size_t(buffer.count) * kFrameBytes, kFillByte);
    if (readWithMethod(handle, method, buffer) != kResultDone) return kResultFailed;
    if (!fillLeftUntouched(buffer)) return kResultDone;
    setLastError(kErrorReadLeftBufferUntouched);
    return kResultFailed;
}

void install(int handle, DriveSlot& slot, ReadMethod method) {
    // A method given up must not leave the drive in its block size.
    runRestoreRoutine(handle, slot);
    slot.readMethod = uint8_t(method);
    slot.readRoutine = readRoutineFor(slot.readMethod);
    slot.restoreRoutine = kNoRestore;
    slot.prepared = 0;
}

}  // namespace

int detectReadMethod(int handle, TrackBuffer& buffer) {
    SlotGuard guard(handle);
    if (!guard.ok() || !fitsOneRead(buffer)) return kResultFailed;
    int result = kResultFailed;
    for (ReadMethod method : kDetectionOrder) {
        install(handle, guard.slot(), method);
        for (int attempt = 0; attempt < kTestReadsPerMethod; ++attempt) {
            result = testRead(handle, method, buffer);
            if (result == kResultDone) return result;
        }
    }
    install(handle, guard.slot(), ReadMethod::Detect);
    return result;
}

}  // namespace lumbra
