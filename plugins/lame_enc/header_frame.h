// Completing a finished MP3 file: its reserved first frame replaced by the stream's header frame.
#pragma once

#include "plugins/lame_enc/stream_registry.h"

namespace lumbra::lame_plugin {

// Finds the stream whose bytes the file at `path` holds (between an optional leading ID3v2 tag
// and an optional trailing ID3v1 tag) and writes its header frame over the file's first frame.
LameResult writeHeaderFrame(const char* path, StreamRegistry& registry);

}  // namespace lumbra::lame_plugin
