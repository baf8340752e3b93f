#include "rip/ogg_decoding.h"

#include <vorbis/vorbisfile.h>
#include <algorithm>
#include <cstring>

#include "rip/signal_to_noise.h"

namespace lumbra::test {
namespace {

void readHeaders(OggVorbis_File& file, DecodedOgg& out) {
    const vorbis_info* info = ov_info(&file, -1);
    out.channels = info->channels;
    out.sampleRate = info->rate;
    out.lowerBitrate = info->bitrate_lower;
    out.nominalBitrate = info->bitrate_nominal;
    out.upperBitrate = info->bitrate_upper;
    const vorbis_comment* comment = ov_comment(&file, -1);
    for (int i = 0; i < comment->comments; ++i) {
        const std::string entry(comment->user_comments[i], size_t(comment->comment_lengths[i]));
        const size_t equals = entry.find('=');
        out.comments.emplace_back(entry.substr(0, equals), entry.substr(equals + 1));
    }
    out.declaredFrames = ov_pcm_total(&file, -1);
}

void readSamples(OggVorbis_File& file, DecodedOgg& out) {
    float** channels = nullptr;
    int section = 0;
    for (;;) {
        const long frames = ov_read_float(&file, &channels, 4096, &section);
        if (frames <= 0) break;
        for (long i = 0; i < frames; ++i) {
            for (int c = 0; c < out.channels; ++c) out.samples.push_back(channels[c][i]);
        }
    }
}

}  // namespace

DecodedOgg decodeOgg(const std::string& path) {
    DecodedOgg out;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return out;
    out.opened = true;
    readHeaders(file, out);
    readSamples(file, out);
    ov_clear(&file);
    return out;
}

std::vector<OggPage> oggPages(const std::string& bytes) {
    std::vector<OggPage> pages;
    size_t at = 0;
    while (at + 27 <= bytes.size() && bytes.compare(at, 4, "OggS") == 0) {
        OggPage page;
        page.flags = uint8_t(bytes[at + 5]);
        std::memcpy(&page.serial, bytes.data() + at + 14, 4);
        const size_t segments = uint8_t(bytes[at + 26]);
        size_t body = 0;
        for (size_t s = 0; s < segments && at + 27 + s < bytes.size(); ++s) {
            body += uint8_t(bytes[at + 27 + s]);
        }
        pages.push_back(page);
        at += 27 + segments + body;
    }
    return pages;
}

double signalToNoise(const std::vector<uint8_t>& source, const std::vector<float>& decoded) {
    SignalToNoise ratio;
    const size_t count = std::min(source.size() / 2, decoded.size());
    for (size_t i = 0; i < count; ++i) {
        int16_t sample;
        std::memcpy(&sample, source.data() + 2 * i, 2);
        const double expected = sample / 32768.0;
        ratio.add(expected, expected - decoded[i]);
    }
    return ratio.db(1e-12);
}

}  // namespace lumbra::test
