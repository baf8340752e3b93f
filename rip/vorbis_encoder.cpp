#include "rip/vorbis_encoder.h"

#include <vorbis/vorbisenc.h>
#include <algorithm>
#include <bit>
#include <cstring>

namespace lumbra {
namespace {

static_assert(std::endian::native == std::endian::little, "samples are read in place");

constexpr float kSampleScale = 1.0f / 32768.0f;

int initEncoder(vorbis_info& info, const VorbisSetUp& s) {
    switch (s.mode) {
        case VorbisMode::Vbr:
            return vorbis_encode_init_vbr(&info, s.channels, s.sampleRate, s.quality);
        case VorbisMode::Bbr:
        case VorbisMode::Cbr:
            break;
    }
    return vorbis_encode_init(&info, s.channels, s.sampleRate, s.maxBitrate, s.nominalBitrate,
                              s.minBitrate);
}

void appendPage(std::vector<uint8_t>& pages, const ogg_page& page) {
    pages.insert(pages.end(), page.header, page.header + page.header_len);
    pages.insert(pages.end(), page.body, page.body + page.body_len);
}

}  // namespace

// Each member is cleared only when it was initialised, in the order libvorbis needs: the stream,
// then the block and the DSP state that refer to the info, then the info and the comment.
struct VorbisEncoder::State {
    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state dsp{};
    vorbis_block block{};
    ogg_stream_state stream{};
    bool analysing = false;
    bool streaming = false;

    State() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (streaming) ogg_stream_clear(&stream);
        if (analysing) {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_info_clear(&info);
        vorbis_comment_clear(&comment);
    }
};

std::unique_ptr<VorbisEncoder> VorbisEncoder::create(const VorbisSetUp& setUp,
                                                     const VorbisComments& comments) {
    auto state = std::make_unique<State>();
    if (initEncoder(state->info, setUp) != 0) return nullptr;
    for (const auto& [tag, value] : comments) {
        vorbis_comment_add_tag(&state->comment, tag.c_str(), value.c_str());
    }
    if (vorbis_analysis_init(&state->dsp, &state->info) != 0) return nullptr;
    vorbis_block_init(&state->dsp, &state->block);
    state->analysing = true;
    return std::make_unique<VorbisEncoder>(Key{}, std::move(state));
}

VorbisEncoder::VorbisEncoder(Key, std::unique_ptr<State> state) : state_(std::move(state)) {}

VorbisEncoder::~VorbisEncoder() = default;

int VorbisEncoder::channels() const {
    return state_->info.channels;
}

int VorbisEncoder::sampleRate() const {
    return int(state_->info.rate);
}

void VorbisEncoder::writeHeaders(int serial) {
    ogg_stream_init(&state_->stream, serial);
    state_->streaming = true;
    ogg_packet identification, comments, codebooks;
    vorbis_analysis_headerout(&state_->dsp, &state_->comment, &identification, &comments,
                              &codebooks);
    ogg_stream_packetin(&state_->stream, &identification);
    ogg_stream_packetin(&state_->stream, &comments);
    ogg_stream_packetin(&state_->stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&state_->stream, &page)) {
        appendPage(pages_, page);
    }
}

void VorbisEncoder::encode(std::span<const uint8_t> samples) {
    const size_t frameBytes = size_t(channels()) * 2;
    size_t frames = samples.size() / frameBytes;
    const uint8_t* next = samples.data();
    while (frames > 0) {
        const size_t block = std::min(frames, size_t(kBlockFrames));
        encodeBlock(next, int(block));
        next += block * frameBytes;
        frames -= block;
    }
}

void VorbisEncoder::encodeBlock(const uint8_t* samples, int frames) {
    float** buffer = vorbis_analysis_buffer(&state_->dsp, kBlockFrames);
    const int count = channels();
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < count; ++c) {
            int16_t sample;
            std::memcpy(&sample, samples + 2 * (i * count + c), 2);
            buffer[c][i] = float(sample) * kSampleScale;
        }
    }
    vorbis_analysis_wrote(&state_->dsp, frames);
    drain();
}

void VorbisEncoder::finish() {
    vorbis_analysis_buffer(&state_->dsp, kBlockFrames);
    vorbis_analysis_wrote(&state_->dsp, 0);
    drain();
}

void VorbisEncoder::drain() {
    ogg_packet packet;
    ogg_page page;
    while (vorbis_analysis_blockout(&state_->dsp, &state_->block) == 1) {
        vorbis_analysis(&state_->block, nullptr);
        vorbis_bitrate_addblock(&state_->block);
        while (vorbis_bitrate_flushpacket(&state_->dsp, &packet)) {
            ogg_stream_packetin(&state_->stream, &packet);
            while (!ended_ && ogg_stream_pageout(&state_->stream, &page)) {
                appendPage(pages_, page);
                ended_ = ogg_page_eos(&page) != 0;
            }
        }
    }
}

}  // namespace lumbra
