#include "rip/flac_encoder.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "rip/rip_messages.h"
#include "rip/xiph_comments.h"
#include "settings/encoder_settings.h"
#include "settings/value_lists.h"

namespace lumbra {
namespace {

constexpr int kDefaultLevel = 5;
// Stereo samples converted and handed to libFLAC per call.
constexpr size_t kBlockFrames = 4096;

struct MetadataDeleter {
    void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
};
using MetadataBlock = std::unique_ptr<FLAC__StreamMetadata, MetadataDeleter>;

struct EncoderDeleter {
    void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
};

// libFLAC writes the stream front to back, then seeks back to fill in STREAMINFO and the seek
// table: a write at the end appends to the sink, one before it rewrites what is there.
class SeekableSink {
public:
    explicit SeekableSink(ByteSink& sink) : sink_(sink) {}

    bool write(std::span<const uint8_t> bytes) {
        const size_t inside = size_t(std::min<uint64_t>(bytes.size(), size_ - position_));
        bool ok = inside == 0 || sink_.rewrite(position_, bytes.first(inside));
        if (ok && inside < bytes.size()) ok = sink_.write(bytes.subspan(inside));
        position_ += bytes.size();
        size_ = std::max(size_, position_);
        failed_ = failed_ || !ok;
        return ok;
    }
    bool seek(uint64_t offset) {
        if (offset > size_) return false;
        position_ = offset;
        return true;
    }
    uint64_t tell() const { return position_; }
    bool failed() const { return failed_; }

private:
    ByteSink& sink_;
    uint64_t position_ = 0;
    uint64_t size_ = 0;
    bool failed_ = false;
};

FLAC__StreamEncoderWriteStatus writeBytes(const FLAC__StreamEncoder*, const FLAC__byte bytes[],
                                          size_t count, uint32_t, uint32_t, void* sink) {
    return static_cast<SeekableSink*>(sink)->write({bytes, count})
               ? FLAC__STREAM_ENCODER_WRITE_STATUS_OK
               : FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

FLAC__StreamEncoderSeekStatus seekTo(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* sink) {
    return static_cast<SeekableSink*>(sink)->seek(offset) ? FLAC__STREAM_ENCODER_SEEK_STATUS_OK
                                                          : FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus tellPosition(const FLAC__StreamEncoder*, FLAC__uint64* offset,
                                           void* sink) {
    *offset = static_cast<SeekableSink*>(sink)->tell();
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

MetadataBlock commentBlock(const VorbisComments& comments) {
    MetadataBlock block(FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT));
    for (const auto& [name, value] : comments) {
        FLAC__StreamMetadata_VorbisComment_Entry entry;
        if (!block ||
            !FLAC__metadata_object_vorbiscomment_entry_from_name_value_pair(&entry, name.c_str(),
                                                                            value.c_str()) ||
            !FLAC__metadata_object_vorbiscomment_append_comment(block.get(), entry, false)) {
            return nullptr;
        }
    }
    return block;
}

// Placeholders at every tenth second of the track's length; libFLAC fills in where each frame
// landed when the stream ends.
MetadataBlock seekTableBlock(uint64_t totalSamples) {
    MetadataBlock block(FLAC__metadata_object_new(FLAC__METADATA_TYPE_SEEKTABLE));
    if (!block || (totalSamples > 0 &&
                   (!FLAC__metadata_object_seektable_template_append_spaced_points_by_samples(
                        block.get(), kFlacSeekPointSeconds * kCdSampleRate, totalSamples) ||
                    !FLAC__metadata_object_seektable_template_sort(block.get(), true)))) {
        return nullptr;
    }
    return block;
}

MetadataBlock paddingBlock() {
    MetadataBlock block(FLAC__metadata_object_new(FLAC__METADATA_TYPE_PADDING));
    if (block) block->length = kFlacPaddingBytes;
    return block;
}

std::string verifyMismatchText(const FLAC__StreamEncoder* encoder) {
    FLAC__uint64 sample = 0;
    uint32_t frame = 0, channel = 0, inFrame = 0;
    FLAC__int32 expected = 0, got = 0;
    FLAC__stream_encoder_get_verify_decoder_error_stats(encoder, &sample, &frame, &channel,
                                                        &inFrame, &expected, &got);
    char text[160];
    std::snprintf(text, sizeof text, rip_messages::kFlacVerifyMismatchFormat,
                  static_cast<unsigned long long>(sample), channel + 1, int(expected), int(got));
    return text;
}

}  // namespace

// libFLAC's encoder with the metadata blocks it writes, which must outlive it.
class FlacEncoder::Stream {
public:
    explicit Stream(ByteSink& sink) : sink_(sink), encoder_(FLAC__stream_encoder_new()) {}
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    // Ends an unfinished stream without its closing rewrite; its file is thrown away.
    ~Stream() = default;

    bool open(const FlacSettings& settings, uint64_t totalSamples, const VorbisComments& comments) {
        blocks_[0] = seekTableBlock(totalSamples);
        blocks_[1] = commentBlock(comments);
        blocks_[2] = paddingBlock();
        if (!encoder_ || std::any_of(blocks_.begin(), blocks_.end(), [](auto& b) { return !b; }))
            return false;
        FLAC__StreamMetadata* order[] = {blocks_[0].get(), blocks_[1].get(), blocks_[2].get()};
        FLAC__StreamEncoder* e = encoder_.get();
        const bool configured =
            FLAC__stream_encoder_set_channels(e, kCdChannels) &&
            FLAC__stream_encoder_set_bits_per_sample(e, kCdSampleBits) &&
            FLAC__stream_encoder_set_sample_rate(e, kCdSampleRate) &&
            FLAC__stream_encoder_set_compression_level(
                e, unsigned(listValue(kFlacLevels, settings.level, kDefaultLevel))) &&
            FLAC__stream_encoder_set_verify(e, settings.verify != 0) &&
            FLAC__stream_encoder_set_total_samples_estimate(e, totalSamples) &&
            FLAC__stream_encoder_set_metadata(e, order, 3);
        return configured &&
               FLAC__stream_encoder_init_stream(e, writeBytes, seekTo, tellPosition, nullptr,
                                                &sink_) == FLAC__STREAM_ENCODER_INIT_STATUS_OK;
    }

    // Whole 16-bit stereo frames, little-endian.
    bool encode(std::span<const uint8_t> bytes) {
        const size_t total = bytes.size() / kCdSampleBytes;
        for (size_t done = 0; done < total;) {
            const size_t frames = std::min(kBlockFrames, total - done);
            for (size_t i = 0; i < frames * kCdChannels; ++i) {
                int16_t sample;
                std::memcpy(&sample, bytes.data() + (done * kCdChannels + i) * 2, 2);
                samples_[i] = sample;
            }
            if (!FLAC__stream_encoder_process_interleaved(encoder_.get(), samples_.data(),
                                                          uint32_t(frames)))
                return false;
            done += frames;
        }
        return true;
    }

    bool finish() { return FLAC__stream_encoder_finish(encoder_.get()) != 0; }

    bool sinkFailed() const { return sink_.failed(); }

    // Why an open stream stopped.
    std::string failureText() const {
        const FLAC__StreamEncoder* e = encoder_.get();
        switch (FLAC__stream_encoder_get_state(e)) {
            case FLAC__STREAM_ENCODER_VERIFY_MISMATCH_IN_AUDIO_DATA:
                return verifyMismatchText(e);
            case FLAC__STREAM_ENCODER_VERIFY_DECODER_ERROR:
                return rip_messages::kFlacVerifyUndecodable;
            default:
                return rip_messages::kFlacEncoderFailed +
                       std::string(FLAC__stream_encoder_get_resolved_state_string(e));
        }
    }

private:
    SeekableSink sink_;
    std::array<MetadataBlock, 3> blocks_;  // read by the encoder until it is deleted
    std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> encoder_;
    std::array<FLAC__int32, kBlockFrames * kCdChannels> samples_{};
};

FlacEncoder::FlacEncoder(const TrackToEncode& track) : track_(track) {}

FlacEncoder::~FlacEncoder() = default;

EncodeStep FlacEncoder::start(ByteSink& sink) {
    stream_ = std::make_unique<Stream>(sink);
    const uint64_t totalSamples = uint64_t(std::max(track_.track.length, 0)) * kSamplesPerFrame;
    const FlacSettings settings = flacFromSlots(track_.track.encoderSettings);
    if (stream_->open(settings, totalSamples, xiphCommentsFor(tagValuesOf(track_)))) return {};
    if (stream_->sinkFailed()) return written(false);
    char text[96];
    std::snprintf(text, sizeof text, rip_messages::kFlacCannotStartFormat,
                  listValue(kFlacLevels, settings.level, kDefaultLevel));
    return encoderFailed(text + std::string("\n  ") + track_.outputPath);
}

EncodeStep FlacEncoder::feed(std::span<const uint8_t> cdAudio) {
    const bool ok = frames_.take(cdAudio, [this](auto whole) { return stream_->encode(whole); });
    return ok ? EncodeStep{} : failed();
}

// The bytes of an unfinished sample frame at the very end are dropped: a track's audio is whole
// frames, so only a source that lost bytes leaves any.
EncodeStep FlacEncoder::finish() {
    return stream_->finish() ? EncodeStep{} : failed();
}

// A sink that refused bytes is the driver's to report.
EncodeStep FlacEncoder::failed() const {
    if (stream_->sinkFailed()) return written(false);
    return encoderFailed(stream_->failureText() + "\n  " + track_.outputPath);
}

}  // namespace lumbra
