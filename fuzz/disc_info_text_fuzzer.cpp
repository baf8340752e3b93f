// Disc information text comes from CDDB servers and hand-edited database files: any bytes must
// keep the scan inside the text and every applied value within its limit.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "metadata/disc_info_text.h"

namespace {

constexpr size_t kValueLimit = 83;

bool withinLimit(const std::string& value) {
    return value.size() <= kValueLimit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    lumbra::DiscRecord record;
    std::vector<lumbra::TrackEntry> tracks(4);
    lumbra::applyDiscInfoText(text, record, tracks);

    if (!withinLimit(record.artist) || !withinLimit(record.album) || !withinLimit(record.year)) {
        std::abort();
    }
    if (record.genre < 0 || record.genre >= lumbra::kGenreCount) std::abort();
    for (const auto& track : tracks) {
        if (!withinLimit(track.title) || !withinLimit(track.artist)) std::abort();
        // A credit is split off only where there is a title to keep.
        if (!track.artist.empty() && track.title.empty()) std::abort();
    }
    return 0;
}
