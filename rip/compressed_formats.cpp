#include "rip/compressed_formats.h"

#include "app/encoder_settings.h"
#include "rip/mp3_writer.h"
#include "rip/ogg_writer.h"
#include "rip/wma_writer.h"

namespace lumbra {

CompressedFormatWriters compressedFormatWriters(int32_t format) {
    switch (format) {
        case kFormatMp3:
            return {ripTrackToMp3, encodePcmToMp3};
        case kFormatWma:
            return {ripTrackToWma, encodePcmToWma};
        default:
            return {ripTrackToOgg, encodePcmToOgg};
    }
}

}  // namespace lumbra
