#include "rip/mp3_encoding.h"

#include <algorithm>

#include "rip/mp3_stream_setup.h"

namespace lumbra {

Mp3Encoding::Mp3Encoding(platform::SharedLibrary& library, OutputFile& file)
    : encoder_(library), file_(file) {}

bool Mp3Encoding::start(const LameStreamConfig& config) {
    converter_.emplace(declaredInputFormat(config));
    return converter_->isValid() && encoder_.open(config);
}

Mp3Encoding::Step Mp3Encoding::encode(std::span<const uint8_t> cdAudio,
                                      const std::function<bool()>& keepGoing) {
    return encodeBlocks(converter_->convert(cdAudio), keepGoing);
}

Mp3Encoding::Step Mp3Encoding::finish() {
    const Step tail = encodeBlocks(converter_->finish(), [] { return true; });
    if (tail != Step::Done) return tail;
    const auto last = encoder_.finish();
    if (!last) return Step::EncoderFailed;
    return file_.write(*last) ? Step::Done : Step::WriteFailed;
}

Mp3Encoding::Step Mp3Encoding::encodeBlocks(std::span<const uint8_t> samples,
                                            const std::function<bool()>& keepGoing) {
    const size_t blockBytes = chunkBytes();
    for (size_t at = 0; at < samples.size(); at += blockBytes) {
        const auto bytes =
            encoder_.encode(samples.subspan(at, std::min(blockBytes, samples.size() - at)));
        if (!bytes) return Step::EncoderFailed;
        if (!file_.write(*bytes)) return Step::WriteFailed;
        if (!keepGoing()) return Step::Stopped;
    }
    return Step::Done;
}

}  // namespace lumbra
