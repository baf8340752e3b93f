#include "rip/spill_room.h"

#include "platform/disk_space.h"

namespace lumbra {
namespace {

// Containers, tags and a file system's blocks add to the audio's own bytes.
constexpr uint64_t kOverheadEighths = 9;
constexpr uint64_t kFileSlackBytes = uint64_t(256) << 10;

}  // namespace

SpillRoom::Reservation::Reservation(SpillRoom& room, uint64_t bytes) : room_(room), bytes_(bytes) {
    room_.reserved_ += bytes_;
}

SpillRoom::Reservation::~Reservation() {
    room_.reserved_ -= bytes_;
}

SpillRoom::SpillRoom(std::string folder, FreeBytes freeBytes)
    : folder_(std::move(folder)), freeBytes_(std::move(freeBytes)) {}

SpillRoom::FreeBytes SpillRoom::defaultFreeBytes() {
    return platform::freeDiskBytes;
}

bool SpillRoom::roomFor(uint64_t bytes) const {
    const std::optional<uint64_t> free = freeBytes_(folder_);
    return !free || *free >= reserved_.load() + bytes;
}

uint64_t SpillRoom::fileEstimate(uint64_t seconds, uint64_t bytesPerSecond) {
    return (seconds + 1) * bytesPerSecond * kOverheadEighths / 8 + kFileSlackBytes;
}

}  // namespace lumbra
