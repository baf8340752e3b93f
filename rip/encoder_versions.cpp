#include "rip/encoder_versions.h"

#include <vorbis/codec.h>

#include <algorithm>
#include <cctype>

#include "rip/encoder_library.h"
#include "rip/lame_entry_points.h"

namespace lumbra {

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
    // The library calls itself "Xiph.Org libVorbis 1.3.7": the version is its first word that
    // starts with a digit.
    const std::string text = vorbis_version_string();
    size_t word = 0;
    while (word < text.size()) {
        const size_t end = std::min(text.find(' ', word), text.size());
        if (std::isdigit(static_cast<unsigned char>(text[word])))
            return text.substr(word, end - word);
        word = end + 1;
    }
    return text;
}

}  // namespace lumbra
