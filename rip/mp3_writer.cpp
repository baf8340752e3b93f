#include "rip/mp3_writer.h"

#include <unistd.h>

#include "rip/unavailable_encoder.h"

namespace lumbra {

void ripTrackToMp3(const RipSession& session, RipContext& context) {
    failUnavailableEncoder(session, *context.track, context.outputPath);
}

void encodePcmToMp3(const RipSession& session, ConvertContext& context) {
    unlink(context.pcmPath.c_str());
    failUnavailableEncoder(session, *context.track, context.outputPath);
}

}  // namespace lumbra
