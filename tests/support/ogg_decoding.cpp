#include "support/ogg_decoding.h"

#include <vorbis/vorbisfile.h>

namespace lumbra::test {

DecodedOgg decodeOgg(const std::string& path) {
    DecodedOgg out;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return out;
    const vorbis_info* info = ov_info(&file, -1);
    out = {true,
           info->channels,
           info->rate,
           info->bitrate_lower,
           info->bitrate_nominal,
           info->bitrate_upper,
           {},
           ov_pcm_total(&file, -1),
           {}};
    const vorbis_comment* comment = ov_comment(&file, -1);
    for (int i = 0; i < comment->comments; ++i) {
        const std::string entry(comment->user_comments[i], size_t(comment->comment_lengths[i]));
        const size_t equals = entry.find('=');
        out.comments.emplace_back(entry.substr(0, equals), entry.substr(equals + 1));
    }
    float** channels = nullptr;
    int section = 0;
    for (long frames; (frames = ov_read_float(&file, &channels, 4096, &section)) > 0;) {
        for (long i = 0; i < frames * out.channels; ++i)
            out.samples.push_back(channels[i % out.channels][i / out.channels]);
    }
    ov_clear(&file);
    return out;
}

std::vector<uint8_t> oggPageFlags(const std::string& bytes) {
    std::vector<uint8_t> pages;
    for (size_t at = 0; at + 27 <= bytes.size() && bytes.compare(at, 4, "OggS") == 0;) {
        pages.push_back(uint8_t(bytes[at + 5]));
        const size_t segments = uint8_t(bytes[at + 26]);
        size_t body = 0;
        for (size_t s = at + 27; s < at + 27 + segments && s < bytes.size(); ++s)
            body += uint8_t(bytes[s]);
        at += 27 + segments + body;
    }
    return pages;
}

}  // namespace lumbra::test
