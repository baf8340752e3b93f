// A MusicBrainz reply comes from any server or proxy on the way: whatever its bytes, parsing ends
// without an exception, every release's ID is a UUID or empty, and the text made of a release
// keeps each value on its own line, so the disc information reader sees no line of its making.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "metadata/disc_info_text.h"
#include "metadata/musicbrainz_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumbra;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto releases = parseMusicBrainzReply(bytes, "D", 2);
    for (const MusicBrainzRelease& release : releases) {
        if (!release.id.empty() && release.id.size() != 36) std::abort();
        const std::string text = musicBrainzDiscInfoText(release, 0x12345678);
        const auto lines = size_t(std::count(text.begin(), text.end(), '\n'));
        if (lines != release.tracks.size() + 6) std::abort();
        if (musicBrainzReleaseOf(text) != release.id) std::abort();
        DiscRecord record;
        std::vector<TrackEntry> tracks(2);
        applyDiscInfoText(text, record, tracks);
    }
    return 0;
}
