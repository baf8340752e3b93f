#include "rip/output_formats.h"

#include <array>

#include "rip/flac_encoder.h"
#include "rip/mp3_encoder.h"
#include "rip/ogg_encoder.h"
#include "rip/ogg_opus_encoder.h"
#include "rip/wav_encoder.h"
#include "rip/wma_encoder.h"
#include "settings/encoder_settings.h"

namespace lumbra {
namespace {

template <typename Factory>
std::unique_ptr<EncoderFactory> makeFactory() {
    return std::make_unique<Factory>();
}

}  // namespace

std::span<const OutputFormatEntry> outputFormats() {
    static const std::array<OutputFormatEntry, 6> formats{{
        {kFormatWav, "WAV", ".wav", false, makeFactory<PlainEncoderFactory<WavEncoder>>},
        {kFormatOgg, "Ogg Vorbis", ".ogg", true, makeFactory<PlainEncoderFactory<OggEncoder>>},
        {kFormatMp3, "MP3", ".mp3", true, makeFactory<Mp3EncoderFactory>},
        {kFormatWma, "WMA", ".wma", true, makeFactory<WmaEncoderFactory>},
        {kFormatFlac, "FLAC", ".flac", true, makeFactory<PlainEncoderFactory<FlacEncoder>>},
        {kFormatOpus, "Opus", ".opus", true, makeFactory<PlainEncoderFactory<OggOpusEncoder>>},
    }};
    return formats;
}

const OutputFormatEntry* findOutputFormat(std::span<const OutputFormatEntry> formats, int32_t id) {
    for (const auto& format : formats) {
        if (format.id == id) return &format;
    }
    return nullptr;
}

}  // namespace lumbra
