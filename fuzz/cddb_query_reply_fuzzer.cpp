// A query reply comes from any server or proxy on the way: whatever its bytes, the list stays
// within its capacity and every match within its widths, as valid UTF-8.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "metadata/cddb_reply.h"
#include "platform/text_encoding.h"

namespace {

constexpr size_t kCapacity = 32;

void checkMatches(const lumbra::CddbMatchList& matches, bool utf8) {
    if (matches.size() > kCapacity) std::abort();
    for (const auto& match : matches) {
        if (match.category.empty() || match.category.size() > 11 || match.discId.empty() ||
            match.discId.size() > 8 || match.artist.size() > 80 || match.title.size() > 80) {
            std::abort();
        }
        if (utf8 && !(lumbra::platform::isValidUtf8(match.category) &&
                      lumbra::platform::isValidUtf8(match.artist) &&
                      lumbra::platform::isValidUtf8(match.title))) {
            std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = lumbra::cddbReplyText(bytes);
    if (!lumbra::platform::isValidUtf8(text)) std::abort();
    checkMatches(lumbra::parseQueryReply(text, kCapacity), true);
    checkMatches(lumbra::parseQueryReply(bytes, kCapacity), false);
    return 0;
}
