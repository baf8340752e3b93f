#include "rip/encoder_versions.h"

#include <FLAC/format.h>
#include <opus/opus.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cctype>

#include "rip/encoder_library.h"
#include "rip/lame_entry_points.h"

namespace lumbra {
namespace {

// Libraries call themselves "Xiph.Org libVorbis 1.3.7" or "libopus 1.3.1": the version is the
// first word that starts with a digit, or the whole text when none does.
std::string versionWord(const std::string& text) {
    size_t word = 0;
    while (word < text.size()) {
        const size_t end = std::min(text.find(' ', word), text.size());
        if (std::isdigit(static_cast<unsigned char>(text[word])))
            return text.substr(word, end - word);
        word = end + 1;
    }
    return text;
}

}  // namespace

std::string mp3EncoderVersion() {
    LoadedEncoderLibrary loaded = loadEncoderLibrary(kLameLibraryName, {"beVersion"});
    if (!loaded.library) return {};
    const auto version = loaded.library->function<LameVersionFn>("beVersion");
    LameVersion reported{};
    version(&reported);
    reported.engineText[sizeof reported.engineText - 1] = '\0';
    return reported.engineText;
}

std::string oggEncoderVersion() {
    return versionWord(vorbis_version_string());
}

std::string flacEncoderVersion() {
    return versionWord(FLAC__VERSION_STRING);
}

std::string opusEncoderVersion() {
    return versionWord(opus_get_version_string());
}

}  // namespace lumbra
