// WmaWriter: the WMA writer library loaded for one track and the writer object it made, with
// the library's types kept out of sight. Its messages are plain boxes with the program's
// caption.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/prompts.h"
#include "platform/shared_library.h"
#include "rip/wma_parameters.h"

namespace lumbra {

struct IWmaAudioWriter;

// Text attributes for the file's header: a name of kWmaTagAttributes and its UTF-8 text.
using WmaTexts = std::vector<std::pair<const char16_t*, std::string>>;

class WmaWriter {
public:
    explicit WmaWriter(Prompts& prompts) : prompts_(prompts) {}
    WmaWriter(const WmaWriter&) = delete;
    WmaWriter& operator=(const WmaWriter&) = delete;
    // Finishes and releases a writer still held, then unloads the library.
    ~WmaWriter();

    // Loads the library and sets up a writer of `path` with these parameters and texts. False
    // when a step failed; its message has been shown and no writer is held. A text the library
    // refuses is left out.
    bool open(const std::string& path, const WmaParameters& parameters, const WmaTexts& texts = {});
    // The most bytes write() takes at once; 0 until open() succeeded.
    uint32_t blockSize() const { return blockSize_; }

    // A refusal is shown and changes nothing else.
    void setUseDrm(int32_t flag);
    // False when the library refused the bytes. An empty span is not passed on.
    bool write(std::span<const uint8_t> bytes);
    // Completes the file. False when the library could not; the writer is then kept.
    bool finish();

private:
    void say(const std::string& text);
    bool createWriter(const std::string& path);
    void setTexts(const WmaTexts& texts);
    bool setFormats(const WmaParameters& parameters);
    void releaseWriter();

    Prompts& prompts_;
    std::unique_ptr<platform::SharedLibrary> library_;
    IWmaAudioWriter* writer_ = nullptr;
    uint32_t blockSize_ = 0;
};

}  // namespace lumbra
