#include "plugins/virtualdrive/disc.h"

#include <algorithm>

namespace lumbra::virtualdrive {

bool Disc::isDataFrame(uint32_t frame) const {
    if (tracks.empty()) return false;
    const auto after = std::upper_bound(tracks.begin(), tracks.end(), frame,
                                        [](uint32_t f, const DiscTrack& t) { return f < t.start; });
    return after == tracks.begin() ? tracks.front().data : std::prev(after)->data;
}

bool Disc::coversDataFrame(uint32_t first, uint32_t count) const {
    if (count == 0) return false;
    const uint64_t end = uint64_t(first) + count;
    if (isDataFrame(first)) return true;
    return std::any_of(tracks.begin(), tracks.end(), [&](const DiscTrack& t) {
        return t.data && t.start > first && t.start < end;
    });
}

bool Disc::coversUnreadableFrame(uint32_t first, uint32_t count) const {
    const uint64_t end = uint64_t(first) + count;
    return std::any_of(unreadable.begin(), unreadable.end(), [&](const FrameRange& r) {
        return first < uint64_t(r.first) + r.count && r.first < end;
    });
}

bool DiscTexts::hasCdText() const {
    const auto hasText = [](const TextFields& f) {
        return !f.title.empty() || !f.performer.empty() || !f.songwriter.empty();
    };
    return hasText(album) || genreCode != 0 || std::ranges::any_of(tracks, hasText);
}

}  // namespace lumbra::virtualdrive
