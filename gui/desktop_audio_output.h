// The desktop's sound device as the CD player's audio output (Qt Multimedia's QAudioSink,
// pulling samples as it needs them).
#pragma once

#include "player/audio_output.h"

namespace lumbra::gui {

// Makes outputs on the system's default audio output; null when there is none, as on a server.
// The outputs live on the thread that makes them, which must run an event loop.
AudioOutputFactory desktopAudioOutputs();

}  // namespace lumbra::gui
