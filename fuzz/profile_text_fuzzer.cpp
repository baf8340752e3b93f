// Hand-edited or damaged INI files: every operation must stay inside its input, an index must find
// what a search finds, a write must leave the other keys readable as they were, and a batch of
// writes the text the writes one by one leave.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto before = lumbra::platform::findProfileValue(text, "CDDB", "CDDB_COUNT");
    if (before) lumbra::platform::parseProfileInt(*before);
    // The parsed index the settings store reads from must answer as a search of the text does.
    const lumbra::platform::ProfileIndex index{std::string(text)};
    if (index.find("CDDB", "CDDB_COUNT") != before) std::abort();

    const std::string written = lumbra::platform::setProfileValue(text, "MP3", "MP3_BITRATE", "8");
    if (lumbra::platform::findProfileValue(written, "MP3", "MP3_BITRATE") != "8") std::abort();
    const auto after = lumbra::platform::findProfileValue(written, "CDDB", "CDDB_COUNT");
    if (before.has_value() != after.has_value() || (before && *before != *after)) std::abort();

    // A batch of writes must leave exactly what the same writes one after another leave.
    const lumbra::platform::ProfileEntry batch[] = {
        {"MP3_BITRATE", "8"}, {"mp3_mode", "a\nb"}, {"MP3_BITRATE", "9"}};
    std::string oneByOne(text);
    for (const auto& e : batch)
        oneByOne = lumbra::platform::setProfileValue(oneByOne, "MP3", e.key, e.value);
    if (lumbra::platform::setProfileValues(text, "MP3", batch) != oneByOne) std::abort();

    lumbra::platform::removeProfileKey(text, "MP3", "MP3_BITRATE");
    lumbra::platform::removeProfileSection(text, "CDDB");
    return 0;
}
