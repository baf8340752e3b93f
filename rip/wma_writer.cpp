#include "rip/wma_writer.h"

#include <unistd.h>

#include "rip/unavailable_encoder.h"

namespace lumbra {

void ripTrackToWma(const RipSession& session, RipContext& context) {
    failUnavailableEncoder(session, *context.track, context.outputPath);
}

void encodePcmToWma(const RipSession& session, ConvertContext& context) {
    unlink(context.pcmPath.c_str());
    failUnavailableEncoder(session, *context.track, context.outputPath);
}

}  // namespace lumbra
