// Hand-edited or damaged INI files: every operation must stay inside its input, and a write must
// leave the other keys readable as they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto before = lumbra::platform::findProfileValue(text, "CDDB", "CDDB_COUNT");
    if (before) lumbra::platform::parseProfileInt(*before);

    const std::string written = lumbra::platform::setProfileValue(text, "MP3", "MP3_BITRATE", "8");
    if (lumbra::platform::findProfileValue(written, "MP3", "MP3_BITRATE") != "8") std::abort();
    const auto after = lumbra::platform::findProfileValue(written, "CDDB", "CDDB_COUNT");
    if (before.has_value() != after.has_value() || (before && *before != *after)) std::abort();

    lumbra::platform::removeProfileKey(text, "MP3", "MP3_BITRATE");
    lumbra::platform::removeProfileSection(text, "CDDB");
    return 0;
}
