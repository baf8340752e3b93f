// The object WMAudioCreateWriter hands out: a reference-counted writer whose function table
// follows rip/wma_writer_interface.h, over an ASF file and the wmav2 encoder.
#pragma once

#include <atomic>
#include <string>

#include "asf_output.h"
#include "rip/wma_writer_interface.h"
#include "wma_encoder.h"

namespace lumbra::wma {

class AudioWriterObject : public IWmaAudioWriter {
public:
    // Creates the file at `path` (UTF-16) and an object holding one reference; a status code.
    static int32_t create(const char16_t* path, IWmaAudioWriter** writer);

    AudioWriterObject();
    AudioWriterObject(const AudioWriterObject&) = delete;
    AudioWriterObject& operator=(const AudioWriterObject&) = delete;

private:
    // Created: the file exists. InputSet: the PCM format is known. Encoding: the header is
    // written. Broken: the set-up failed halfway and cannot be retried.
    enum class Stage { Created, InputSet, Encoding, Finished, Broken };

    static const IWmaAudioWriterTable kTable;
    static AudioWriterObject& of(IWmaAudioWriter* self) {
        return *static_cast<AudioWriterObject*>(self);
    }
    static int32_t queryInterface(IWmaAudioWriter*, const void*, void** object);
    static uint32_t addReference(IWmaAudioWriter* self);
    static uint32_t release(IWmaAudioWriter* self);
    static int32_t setAttribute(IWmaAudioWriter* self, const char16_t* name, int32_t type,
                                const void* value, uint32_t size);
    static int32_t setInputFormat(IWmaAudioWriter* self, const WmaWaveFormat* format);
    static int32_t setOutputFormat(IWmaAudioWriter* self, uint32_t bitsPerSecond,
                                   uint32_t sampleRate, uint32_t channels, uint32_t reserved);
    static int32_t notImplemented(IWmaAudioWriter*);
    static int32_t writeSamples(IWmaAudioWriter* self, const uint8_t* bytes, uint32_t count);
    static int32_t finish(IWmaAudioWriter* self);

    int32_t startEncoding(const EncodingFormat& format);
    int32_t finishFile();

    std::atomic<uint32_t> references_{1};
    AsfOutput output_;
    WmaEncoder encoder_;
    WmaWaveFormat input_{};
    Stage stage_ = Stage::Created;
    int32_t finishStatus_ = kWmaOk;
};

}  // namespace lumbra::wma
