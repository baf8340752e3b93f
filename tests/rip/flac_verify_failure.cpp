#include "flac_verify_failure.h"

#include <FLAC/stream_encoder.h>
#include <dlfcn.h>

#include <atomic>

namespace lumbra::test {
namespace {

std::atomic<bool> armed{false};
std::atomic<const FLAC__StreamEncoder*> failedEncoder{nullptr};

template <typename Function>
Function* libraryFunction(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

void armFlacVerifyFailure() {
    failedEncoder = nullptr;
    armed = true;
}

void disarmFlacVerifyFailure() {
    armed = false;
    failedEncoder = nullptr;
}

}  // namespace lumbra::test

using lumbra::test::failedEncoder;

extern "C" {

FLAC__bool FLAC__stream_encoder_process_interleaved(FLAC__StreamEncoder* encoder,
                                                    const FLAC__int32 buffer[], uint32_t samples) {
    static auto* process =
        lumbra::test::libraryFunction<decltype(FLAC__stream_encoder_process_interleaved)>(
            "FLAC__stream_encoder_process_interleaved");
    if (lumbra::test::armed.exchange(false)) failedEncoder = encoder;
    if (encoder == failedEncoder) return false;
    return process(encoder, buffer, samples);
}

FLAC__StreamEncoderState FLAC__stream_encoder_get_state(const FLAC__StreamEncoder* encoder) {
    static auto* state = lumbra::test::libraryFunction<decltype(FLAC__stream_encoder_get_state)>(
        "FLAC__stream_encoder_get_state");
    if (encoder == failedEncoder) return FLAC__STREAM_ENCODER_VERIFY_MISMATCH_IN_AUDIO_DATA;
    return state(encoder);
}

void FLAC__stream_encoder_get_verify_decoder_error_stats(const FLAC__StreamEncoder* encoder,
                                                         FLAC__uint64* absoluteSample,
                                                         uint32_t* frameNumber, uint32_t* channel,
                                                         uint32_t* sample, FLAC__int32* expected,
                                                         FLAC__int32* got) {
    static auto* stats = lumbra::test::libraryFunction<
        decltype(FLAC__stream_encoder_get_verify_decoder_error_stats)>(
        "FLAC__stream_encoder_get_verify_decoder_error_stats");
    if (encoder != failedEncoder) {
        stats(encoder, absoluteSample, frameNumber, channel, sample, expected, got);
        return;
    }
    *absoluteSample = lumbra::test::kFakeMismatchSample;
    *frameNumber = 3;
    *channel = 1;
    *sample = 57;
    *expected = lumbra::test::kFakeMismatchExpected;
    *got = lumbra::test::kFakeMismatchGot;
}

// A later stream may get the failed one's memory.
void FLAC__stream_encoder_delete(FLAC__StreamEncoder* encoder) {
    static auto* release = lumbra::test::libraryFunction<decltype(FLAC__stream_encoder_delete)>(
        "FLAC__stream_encoder_delete");
    const FLAC__StreamEncoder* expected = encoder;
    failedEncoder.compare_exchange_strong(expected, nullptr);
    release(encoder);
}

}  // extern "C"
