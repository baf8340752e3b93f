#include "cdaccess/audio_reads.h"

#include "cdaccess/cd_access_errors.h"
#include "cdaccess/read_methods.h"
#include "cdaccess/slot_access.h"

namespace lumbra {

int readAudioFrames(int handle, TrackBuffer& buffer) {
    SlotGuard guard(handle);
    if (!guard.ok()) return kResultFailed;
    return runReadRoutine(guard.slot().readRoutine, handle, buffer);
}

}  // namespace lumbra
