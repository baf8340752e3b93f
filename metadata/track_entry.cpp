#include "metadata/track_entry.h"

namespace lumbra {

void applyEncoderDefaults(TrackEntry& track, const EncoderSettings& encoder) {
    track.encoderSettings = encoderBlock(encoder, track.format);
}

}  // namespace lumbra
