#include "rip/ogg_opus_encoder.h"

#include <opus/opusenc.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>
#include <string>

#include "rip/rip_messages.h"
#include "rip/xiph_comments.h"
#include "settings/encoder_settings.h"
#include "settings/value_lists.h"

namespace lumbra {
namespace {

constexpr int kDefaultKbps = 160;
// Stereo samples converted and handed to libopusenc per call.
constexpr size_t kBlockFrames = 4096;

struct CommentsDeleter {
    void operator()(OggOpusComments* comments) const { ope_comments_destroy(comments); }
};

struct EncoderDeleter {
    void operator()(OggOpusEnc* encoder) const { ope_encoder_destroy(encoder); }
};

int kbpsOf(const TrackToEncode& track) {
    return listValue(kOpusBitrates, opusFromSlots(track.track.encoderSettings).bitrate,
                     kDefaultKbps);
}

// The same track gives the same file on every rip, whatever thread encodes it; the serial only
// has to tell the streams of one file apart, and each file holds one.
int streamSerial(const TrackToEncode& track) {
    return int((uint32_t(track.track.start) * 2654435761u ^ uint32_t(track.track.number)) >> 1);
}

}  // namespace

// libopusenc's encoder, asked for its pages as it completes them.
class OggOpusEncoder::Stream {
public:
    // OPE_OK, or libopusenc's error.
    int open(const VorbisComments& comments, int kbps, int serial) {
        const std::unique_ptr<OggOpusComments, CommentsDeleter> tags(ope_comments_create());
        if (!tags) return OPE_ALLOC_FAIL;
        for (const auto& [name, value] : comments) {
            const int error = ope_comments_add(tags.get(), name.c_str(), value.c_str());
            if (error != OPE_OK) return error;
        }
        int error = OPE_OK;
        encoder_.reset(ope_encoder_create_pull(tags.get(), kCdSampleRate, kCdChannels, 0, &error));
        if (!encoder_) return error;
        OggOpusEnc* e = encoder_.get();
        for (const int result :
             {ope_encoder_ctl(e, OPUS_SET_BITRATE(kbps * 1000)),
              ope_encoder_ctl(e, OPUS_SET_VBR(1)), ope_encoder_ctl(e, OPUS_SET_VBR_CONSTRAINT(0)),
              ope_encoder_ctl(e, OPE_SET_SERIALNO(serial))}) {
            if (result != OPE_OK) return result;
        }
        return OPE_OK;
    }

    // Whole 16-bit stereo frames, little-endian.
    int encode(std::span<const uint8_t> bytes) {
        const size_t total = bytes.size() / kCdSampleBytes;
        for (size_t done = 0; done < total;) {
            const size_t frames = std::min(kBlockFrames, total - done);
            std::memcpy(samples_.data(), bytes.data() + done * kCdSampleBytes,
                        frames * kCdSampleBytes);
            const int error = ope_encoder_write(encoder_.get(), samples_.data(), int(frames));
            if (error != OPE_OK) return error;
            done += frames;
        }
        return OPE_OK;
    }

    int drain() { return ope_encoder_drain(encoder_.get()); }

    // Writes the pages completed so far; false when the sink refused them.
    bool writePages(ByteSink& sink) {
        unsigned char* page = nullptr;
        opus_int32 length = 0;
        while (ope_encoder_get_page(encoder_.get(), &page, &length, 0)) {
            if (!sink.write({page, size_t(length)})) return false;
        }
        return true;
    }

private:
    std::unique_ptr<OggOpusEnc, EncoderDeleter> encoder_;
    std::array<opus_int16, kBlockFrames * kCdChannels> samples_{};
};

static_assert(std::endian::native == std::endian::little, "CD samples are copied as they are");

OggOpusEncoder::OggOpusEncoder(const TrackToEncode& track) : track_(track) {}

OggOpusEncoder::~OggOpusEncoder() = default;

EncodeStep OggOpusEncoder::start(ByteSink& sink) {
    sink_ = &sink;
    stream_ = std::make_unique<Stream>();
    const int kbps = kbpsOf(track_);
    const int error =
        stream_->open(xiphCommentsFor(tagValuesOf(track_)), kbps, streamSerial(track_));
    if (error == OPE_OK) return {};
    char text[160];
    std::snprintf(text, sizeof text, rip_messages::kOpusCannotStartFormat, kbps,
                  ope_strerror(error));
    return encoderFailed(text + std::string("\n  ") + track_.outputPath);
}

EncodeStep OggOpusEncoder::feed(std::span<const uint8_t> cdAudio) {
    int error = OPE_OK;
    frames_.take(cdAudio, [&](auto whole) { return (error = stream_->encode(whole)) == OPE_OK; });
    return result(error);
}

EncodeStep OggOpusEncoder::finish() {
    return result(stream_->drain());
}

// Pages the step completed go to the sink even after a failure, which fails the track anyway.
EncodeStep OggOpusEncoder::result(int error) {
    if (!stream_->writePages(*sink_)) return written(false);
    if (error == OPE_OK) return {};
    return encoderFailed(rip_messages::kOpusEncoderFailed + std::string(ope_strerror(error)) +
                         "\n  " + track_.outputPath);
}

}  // namespace lumbra
