#include "rip/ogg_writer.h"

#include <unistd.h>

#include "rip/unavailable_encoder.h"

namespace lumbra {

void ripTrackToOgg(const RipSession& session, RipContext& context) {
    failUnavailableEncoder(session, *context.track, context.outputPath);
}

void encodePcmToOgg(const RipSession& session, ConvertContext& context) {
    unlink(context.pcmPath.c_str());
    failUnavailableEncoder(session, *context.track, context.outputPath);
}

}  // namespace lumbra
