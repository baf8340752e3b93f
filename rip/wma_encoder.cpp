#include "rip/wma_encoder.h"

#include <algorithm>

#include "platform/text_encoding.h"
#include "rip/encoder_library.h"
#include "rip/rip_messages.h"
#include "rip/tag_values.h"
#include "settings/encoder_settings.h"

namespace lumbra {
namespace {

constexpr size_t kSystemTextLimit = 127;

// The track's fields as the file's header carries them; empty ones are left out.
WmaTexts textsOf(const TagValues& tags) {
    const WmaTexts all = {{u"Title", tags.title},
                          {u"Author", tags.artist},
                          {u"WM/AlbumArtist", tags.albumArtist},
                          {u"WM/AlbumTitle", tags.album},
                          {u"WM/Year", tags.year},
                          {u"WM/Genre", tags.genre},
                          {u"WM/TrackNumber", std::to_string(tags.number)},
                          {u"WM/ISRC", tags.isrc},
                          {u"WM/Barcode", tags.catalogue}};
    WmaTexts texts;
    for (const auto& text : all) {
        if (!text.second.empty()) texts.push_back(text);
    }
    return texts;
}

}  // namespace

std::optional<std::string> WmaEncoderFactory::unavailable() {
    const LoadedEncoderLibrary loaded = loadEncoderLibrary(kWmaLibraryName, {});
    if (loaded.loaded) return std::nullopt;
    return std::string(rip_messages::kWmaLibraryMissing) + "\n" +
           platform::utf8Prefix(loaded.error, kSystemTextLimit);
}

std::unique_ptr<TrackEncoder> WmaEncoderFactory::create(const TrackToEncode& track) {
    return std::make_unique<WmaEncoder>(track);
}

WmaEncoder::WmaEncoder(const TrackToEncode& track) : track_(track) {}

uint64_t WmaEncoder::bytesPerSecond() const {
    // The writer encodes lower bitrates at its own lowest.
    constexpr int kLowestBitsPerSecond = 24000;
    const WmaParameters parameters = wmaParametersFor(wmaFromSlots(track_.track.encoderSettings));
    return uint64_t(std::max(parameters.bitsPerSecond, kLowestBitsPerSecond)) / 8;
}

EncodeStep WmaEncoder::start(ByteSink& sink) {
    if (sink.filePath().empty()) return encoderFailed(rip_messages::kWmaInternalError);
    const WmaParameters parameters = wmaParametersFor(wmaFromSlots(track_.track.encoderSettings));
    if (!writer_.open(sink.filePath(), parameters, textsOf(tagValuesOf(track_))))
        return withMessages(encoderFailed());
    writer_.setUseDrm(parameters.useDrm);
    converter_.emplace(parameters.pcmFormat());
    return withMessages({});
}

EncodeStep WmaEncoder::feed(std::span<const uint8_t> cdAudio) {
    return writeBlocks(converter_->convert(cdAudio));
}

EncodeStep WmaEncoder::finish() {
    const EncodeStep tail = writeBlocks(converter_->finish());
    if (!tail.ok()) return tail;
    return written(writer_.finish());
}

EncodeStep WmaEncoder::writeBlocks(std::span<const uint8_t> bytes) {
    if (writer_.blockSize() == 0) return encoderFailed();
    for (size_t at = 0; at < bytes.size(); at += writer_.blockSize()) {
        const size_t count = std::min<size_t>(writer_.blockSize(), bytes.size() - at);
        if (!writer_.write(bytes.subspan(at, count))) return written(false);
    }
    return {};
}

EncodeStep WmaEncoder::withMessages(EncodeStep step) {
    step.messages.insert(step.messages.begin(), messages_.held.begin(), messages_.held.end());
    messages_.held.clear();
    return step;
}

}  // namespace lumbra
