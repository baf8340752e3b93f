// The MP3 encoder library through its C entry points, as any caller could use it: handles that
// cannot dangle, records it cannot read, the record's rate control, and the header frame.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "platform/atomic_file.h"
#include "rip/lame_stream.h"
#include "rip/lame_stream_setup.h"
#include "support/cue_image.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

constexpr Mp3Settings kDefaultMp3{1, 1, 8, 1, 3, 10, 7};
constexpr int kSeconds = 3;

class EncoderLibrary : public ::testing::Test {
protected:
    platform::SharedLibrary library{std::string(LUMBRA_LAME_PLUGIN_DIR) + "/liblame_enc.so"};
    LameInitStreamFn init = library.function<LameInitStreamFn>("beInitStream");
    LameEncodeChunkFn encodeChunk = library.function<LameEncodeChunkFn>("beEncodeChunk");
    LameDeinitStreamFn deinit = library.function<LameDeinitStreamFn>("beDeinitStream");
    LameCloseStreamFn closeStream = library.function<LameCloseStreamFn>("beCloseStream");
    LameWriteVbrHeaderFn writeHeader = library.function<LameWriteVbrHeaderFn>("beWriteVBRHeader");
    test::TempDir dir;

    // The whole stream of `seconds` of music-like CD audio encoded with `config`.
    std::string encode(const LameStreamConfig& config, int seconds = kSeconds) {
        LameStream encoder(library);
        if (!encoder.open(config)) return "<refused>";
        const auto audio = test::musicLikeAudio(seconds * 75, 3);
        const size_t block = encoder.samplesPerChunk() * 2;
        std::string stream;
        for (size_t at = 0; at < audio.size(); at += block) {
            const auto bytes =
                encoder.encode({audio.data() + at, std::min(block, audio.size() - at)});
            if (!bytes) return "<encode failed>";
            stream.append(bytes->begin(), bytes->end());
        }
        const auto last = encoder.finish();
        return last ? stream.append(last->begin(), last->end()) : "<finish failed>";
    }
};

TEST_F(EncoderLibrary, StreamsAreReachedOnlyThroughLiveHandles) {
    ASSERT_TRUE(library.isLoaded()) << library.errorText();
    const LameStreamConfig config = lameStreamConfigFor(kDefaultMp3);
    uint32_t chunk = 0, outputBytes = 0, produced = 0;
    LameStreamHandle stream = 0;
    ASSERT_EQ(init(&config, &chunk, &outputBytes, &stream), kLameOk);
    std::vector<int16_t> samples(chunk + 2);
    std::vector<uint8_t> output(outputBytes);
    EXPECT_EQ(encodeChunk(stream + 1, chunk, samples.data(), output.data(), &produced),
              kLameBadHandle);
    EXPECT_EQ(encodeChunk(0, chunk, samples.data(), output.data(), &produced), kLameBadHandle);
    EXPECT_EQ(encodeChunk(stream, chunk + 2, samples.data(), output.data(), &produced),
              kLameBadArgument)
        << "more than a chunk could overrun the caller's buffer";
    EXPECT_EQ(encodeChunk(stream, chunk, samples.data(), output.data(), &produced), kLameOk);
    EXPECT_EQ(deinit(stream, output.data(), &produced), kLameOk);
    EXPECT_NE(encodeChunk(stream, chunk, samples.data(), output.data(), &produced), kLameOk)
        << "a finished stream takes nothing more";
    EXPECT_EQ(closeStream(stream), kLameOk);
    EXPECT_EQ(closeStream(stream), kLameBadHandle);
    EXPECT_EQ(deinit(stream, output.data(), &produced), kLameBadHandle);

    LameStreamHandle next = 0;
    ASSERT_EQ(init(&config, &chunk, &outputBytes, &next), kLameOk);
    EXPECT_NE(next, stream) << "a closed stream's handle must not reach a new stream";
    EXPECT_EQ(closeStream(next), kLameOk);
}

TEST_F(EncoderLibrary, RecordsItCannotReadAreRefused) {
    uint32_t chunk = 0, outputBytes = 0;
    LameStreamHandle stream = 0;
    const LameStreamConfig good = lameStreamConfigFor(kDefaultMp3);
    const std::function<void(LameStreamConfig&)> spoilers[] = {
        [](LameStreamConfig& c) { c.size = 330; }, [](LameStreamConfig& c) { c.layout = 255; },
        [](LameStreamConfig& c) { c.version = 2; }, [](LameStreamConfig& c) { c.mode = 4; },
        [](LameStreamConfig& c) { c.inputSampleRate = 0; }};
    for (const auto& spoil : spoilers) {
        LameStreamConfig config = good;
        spoil(config);
        EXPECT_EQ(init(&config, &chunk, &outputBytes, &stream), kLameBadConfig);
    }
    EXPECT_EQ(init(nullptr, &chunk, &outputBytes, &stream), kLameBadArgument);
    EXPECT_EQ(init(&good, &chunk, nullptr, &stream), kLameBadArgument);
}

TEST_F(EncoderLibrary, TheRecordsRateControlOutranksThePreset) {
    const double cbrBytes = 128000.0 / 8 * kSeconds;
    // Normal, R3mix, standard, fast standard, extreme, insane, ABR, CBR, voice, phone.
    for (int32_t preset : {0, 4, 6, 7, 8, 10, 11, 12, 3, 1000}) {
        LameStreamConfig config = lameStreamConfigFor(kDefaultMp3);
        config.preset = preset;
        config.vbr = 0;
        const std::string stream = encode(config);
        EXPECT_NEAR(double(stream.size()), cbrBytes, cbrBytes * 0.15) << "preset " << preset;
    }
    LameStreamConfig vbr = lameStreamConfigFor(kDefaultMp3);
    vbr.preset = 10;  // on its own a constant 320 kbit/s
    const double size = double(encode(vbr).size());
    EXPECT_GE(size, cbrBytes * 0.95);
    EXPECT_LE(size, 192000.0 / 8 * kSeconds * 1.05);
}

TEST_F(EncoderLibrary, TheHeaderFrameGoesOnlyIntoTheFileOfItsStream) {
    const std::string stream = encode(lameStreamConfigFor(kDefaultMp3));
    ASSERT_GT(stream.size(), 1000u);
    const std::string other = dir.write("other.mp3", stream.substr(0, stream.size() - 1));
    const std::string own = dir.write("own.mp3", stream + "TAG" + std::string(125, ' '));
    EXPECT_EQ(writeHeader(other.c_str()), kLameNoHeaderToWrite);
    EXPECT_EQ(dir.read("other.mp3"), stream.substr(0, stream.size() - 1));
    EXPECT_EQ(stream.find("Xing"), std::string::npos)
        << "the reserved frame is empty until the end";
    EXPECT_EQ(writeHeader(own.c_str()), kLameOk);
    const std::string completed = dir.read("own.mp3");
    EXPECT_EQ(completed.size(), stream.size() + 128);
    EXPECT_LT(completed.find("Xing"), 64u);
    EXPECT_EQ(writeHeader(own.c_str()), kLameNoHeaderToWrite) << "a header is written once";
    EXPECT_EQ(writeHeader((dir.path() + "/missing.mp3").c_str()), kLameFileError);
}

}  // namespace
}  // namespace lumbra
