// Match lines are the part of a query reply a server fills with its users' text: any line gives
// a match within its widths or none.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "metadata/cddb_match_line.h"
#include "platform/text_encoding.h"

namespace {

bool isHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto match = lumbra::parseMatchLine(line);
    if (!match) return 0;
    if (match->category.empty() || match->category.size() > 11 || match->discId.empty() ||
        match->discId.size() > 8 || match->artist.size() > 80 || match->title.size() > 80) {
        std::abort();
    }
    for (char c : match->discId) {
        if (!isHex(c)) std::abort();
    }
    if (lumbra::platform::isValidUtf8(line) && !(lumbra::platform::isValidUtf8(match->artist) &&
                                                 lumbra::platform::isValidUtf8(match->title))) {
        std::abort();
    }
    return 0;
}
