#include "rip/wma_library_writer.h"

#include "rip/encoder_library.h"
#include "rip/rip_messages.h"
#include "rip/wma_wide_path.h"
#include "rip/wma_writer_interface.h"

namespace lumbra {
namespace {

constexpr uint32_t kWriteBlockBytes = 32768;
constexpr size_t kWidePathUnits = 2048;  // terminator included

}  // namespace

WmaWriter::~WmaWriter() {
    if (writer_) writer_->table->finish(writer_);
    releaseWriter();
}

bool WmaWriter::open(const std::string& path, const WmaParameters& parameters,
                     const WmaTexts& texts) {
    library_ = std::make_unique<platform::SharedLibrary>(pluginPath(kWmaLibraryName));
    if (!library_->isLoaded()) {
        library_.reset();
        say(rip_messages::kWmaLibraryMissing);
        return false;
    }
    blockSize_ = 0;
    if (!createWriter(path)) return false;
    setTexts(texts);
    if (!setFormats(parameters)) return false;
    blockSize_ = kWriteBlockBytes;
    return true;
}

bool WmaWriter::createWriter(const std::string& path) {
    const auto create = library_->function<WmaCreateWriterFunction>(kWmaCreateWriterName);
    if (!create) {
        say(rip_messages::kWmaEntryPointMissing);
        return false;
    }
    const auto widePath = toWidePath(path, kWidePathUnits);
    if (!widePath) {
        say(rip_messages::kWmaInternalError);
        return false;
    }
    if (create(widePath->c_str(), &writer_) < 0 || !writer_) {
        writer_ = nullptr;
        say(rip_messages::kWmaCannotCreateWriter);
        return false;
    }
    return true;
}

void WmaWriter::setTexts(const WmaTexts& texts) {
    for (const auto& [name, text] : texts) {
        const auto wide = toWidePath(text, text.size() + 1);
        if (!wide) continue;
        writer_->table->setAttribute(writer_, name, kWmaTextAttribute, wide->c_str(),
                                     uint32_t((wide->size() + 1) * sizeof(char16_t)));
    }
}

// A refused format ends the writer; the message names the settings so the user can change them.
bool WmaWriter::setFormats(const WmaParameters& parameters) {
    const WmaWaveFormat input = wmaInputFormat(parameters.sampleRate, parameters.channels);
    const char* refusal = nullptr;
    if (writer_->table->setInputFormat(writer_, &input) < 0) {
        refusal = rip_messages::kWmaInputFormatRefused;
    } else if (writer_->table->setOutputFormat(writer_, uint32_t(parameters.bitsPerSecond),
                                               uint32_t(parameters.sampleRate),
                                               uint32_t(parameters.channels), 0) < 0) {
        refusal = rip_messages::kWmaOutputFormatRefused;
    }
    if (!refusal) return true;
    releaseWriter();
    say(std::string(refusal) + "\n  " + describeWmaParameters(parameters));
    return false;
}

void WmaWriter::setUseDrm(int32_t flag) {
    if (!writer_) return;
    const int32_t status = writer_->table->setAttribute(writer_, kWmaUseDrmAttribute,
                                                        kWmaFlagAttribute, &flag, sizeof flag);
    if (status < 0) say(rip_messages::kWmaUseDrmRefused);
}

bool WmaWriter::write(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return true;
    if (!writer_) return false;
    return writer_->table->writeSamples(writer_, bytes.data(), uint32_t(bytes.size())) == kWmaOk;
}

bool WmaWriter::finish() {
    if (!writer_) return true;
    if (writer_->table->finish(writer_) < 0) return false;
    releaseWriter();
    return true;
}

void WmaWriter::say(const std::string& text) {
    prompts_.show({kCaption, text, MessageIcon::Information, MessageButtons::Ok});
}

void WmaWriter::releaseWriter() {
    if (writer_) writer_->table->release(writer_);
    writer_ = nullptr;
}

}  // namespace lumbra
