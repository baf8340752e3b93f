// The writers of the compressed formats: one that encodes while the CD is read, and one that
// encodes the temporary PCM file (and deletes it, whatever the outcome).
#pragma once

#include "rip/rip_context.h"

namespace lumbra {

struct CompressedFormatWriters {
    void (*ripDirect)(const RipSession&, RipContext&);
    void (*encodeFromPcm)(const RipSession&, ConvertContext&);
};

// The writers of OGG, MP3 or WMA.
CompressedFormatWriters compressedFormatWriters(int32_t format);

}  // namespace lumbra
