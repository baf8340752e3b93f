#include "audio_writer_object.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string_view>

#include "rip/wma_wide_path.h"

namespace lumbra::wma {
namespace {

// Nothing may unwind into the caller's C frames.
template <typename Call>
int32_t guarded(Call call) noexcept {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return kWmaOutOfMemory;
    } catch (...) {
        return kWmaFailed;
    }
}

// The text of a terminated UTF-16 value of `size` bytes; nothing when it is not one.
std::optional<std::string> textOf(const void* value, uint32_t size) {
    const auto* units = static_cast<const char16_t*>(value);
    const size_t count = size / sizeof(char16_t);
    if (size % sizeof(char16_t) != 0 || count == 0 || units[count - 1] != 0) return std::nullopt;
    if (std::u16string_view(units).size() != count - 1) return std::nullopt;
    return fromWidePath(units);
}

}  // namespace

const IWmaAudioWriterTable AudioWriterObject::kTable = {
    queryInterface,  addReference,   release,      setAttribute, setInputFormat,
    setOutputFormat, notImplemented, writeSamples, finish,
};

AudioWriterObject::AudioWriterObject() : IWmaAudioWriter{&kTable} {}

int32_t AudioWriterObject::create(const char16_t* path, IWmaAudioWriter** writer) {
    if (!path || !writer) return kWmaNullPointer;
    *writer = nullptr;
    return guarded([&] {
        const auto utf8 = fromWidePath(path);
        if (!utf8 || utf8->empty()) return kWmaInvalidArgument;
        auto object = std::make_unique<AudioWriterObject>();
        const int32_t status = object->output_.create(*utf8);
        if (status != kWmaOk) return status;
        *writer = object.release();  // owned by its references from here on
        return kWmaOk;
    });
}

int32_t AudioWriterObject::queryInterface(IWmaAudioWriter*, const void*, void** object) {
    if (object) *object = nullptr;
    return kWmaNoInterface;
}

uint32_t AudioWriterObject::addReference(IWmaAudioWriter* self) {
    return ++of(self).references_;
}

uint32_t AudioWriterObject::release(IWmaAudioWriter* self) {
    const uint32_t left = --of(self).references_;
    if (left == 0) std::unique_ptr<AudioWriterObject> last(&of(self));
    return left;
}

// This writer writes no rights management, so "use_drm" is accepted and has no effect. The tag
// texts go into the header, so they come before it is written.
int32_t AudioWriterObject::setAttribute(IWmaAudioWriter* self, const char16_t* name, int32_t type,
                                        const void* value, uint32_t size) {
    if (!name || !value) return kWmaNullPointer;
    if (std::u16string_view(name) == kWmaUseDrmAttribute)
        return type == kWmaFlagAttribute && size == sizeof(int32_t) ? kWmaOk : kWmaInvalidArgument;
    if (std::ranges::find(kWmaTagAttributes, std::u16string_view(name)) ==
            std::end(kWmaTagAttributes) ||
        type != kWmaTextAttribute) {
        return kWmaInvalidArgument;
    }
    AudioWriterObject& writer = of(self);
    if (writer.stage_ != Stage::Created && writer.stage_ != Stage::InputSet) return kWmaUnexpected;
    return guarded([&] { return writer.output_.setText(name, textOf(value, size)); });
}

int32_t AudioWriterObject::setInputFormat(IWmaAudioWriter* self, const WmaWaveFormat* format) {
    AudioWriterObject& writer = of(self);
    if (!format) return kWmaNullPointer;
    if (writer.stage_ != Stage::Created && writer.stage_ != Stage::InputSet) return kWmaUnexpected;
    if (!WmaEncoder::acceptsInput(*format)) return kWmaInvalidArgument;
    writer.input_ = *format;
    writer.stage_ = Stage::InputSet;
    return kWmaOk;
}

int32_t AudioWriterObject::setOutputFormat(IWmaAudioWriter* self, uint32_t bitsPerSecond,
                                           uint32_t sampleRate, uint32_t channels, uint32_t) {
    return guarded([&] { return of(self).startEncoding({bitsPerSecond, sampleRate, channels}); });
}

int32_t AudioWriterObject::notImplemented(IWmaAudioWriter*) {
    return kWmaNotImplemented;
}

int32_t AudioWriterObject::writeSamples(IWmaAudioWriter* self, const uint8_t* bytes,
                                        uint32_t count) {
    AudioWriterObject& writer = of(self);
    if (writer.stage_ != Stage::Encoding) return kWmaUnexpected;
    if (count == 0) return kWmaOk;
    if (!bytes) return kWmaNullPointer;
    return guarded([&] {
        return writer.encoder_.encode({bytes, count}, [&](AVPacket& packet, AVRational timeBase) {
            return writer.output_.write(packet, timeBase);
        });
    });
}

int32_t AudioWriterObject::finish(IWmaAudioWriter* self) {
    return guarded([&] { return of(self).finishFile(); });
}

int32_t AudioWriterObject::startEncoding(const EncodingFormat& format) {
    if (stage_ != Stage::InputSet) return kWmaUnexpected;
    const int32_t status = encoder_.open(input_, format, output_.wantsGlobalHeader());
    if (status != kWmaOk) return status;  // nothing written yet: another format may follow
    const int32_t begun = output_.begin(encoder_.codec());
    stage_ = begun == kWmaOk ? Stage::Encoding : Stage::Broken;
    return begun;
}

// A second call reports the first call's outcome.
int32_t AudioWriterObject::finishFile() {
    if (stage_ == Stage::Finished) return finishStatus_;
    if (stage_ != Stage::Encoding) return kWmaUnexpected;
    stage_ = Stage::Finished;
    finishStatus_ = encoder_.flush(
        [&](AVPacket& packet, AVRational timeBase) { return output_.write(packet, timeBase); });
    const int32_t closed = output_.close();
    if (finishStatus_ == kWmaOk) finishStatus_ = closed;
    return finishStatus_;
}

}  // namespace lumbra::wma
