// A read reply becomes the disc information text that is applied and filed in the local
// database: any bytes give valid UTF-8 that grows by no more than the category, whose genre line
// names the category whenever it names a genre of reasonable length.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "metadata/cddb_reply.h"
#include "platform/text_encoding.h"

namespace {

constexpr std::string_view kGenreKey = "DGENRE=";

// The value of the first DGENRE line, as the read replaces it.
std::string_view genreOf(std::string_view entry) {
    for (size_t at = entry.find(kGenreKey); at != std::string_view::npos;
         at = entry.find(kGenreKey, at + 1)) {
        if (at > 0 && entry[at - 1] != '\n') continue;
        const std::string_view rest = entry.substr(at + kGenreKey.size());
        return rest.substr(0, rest.find_first_of("\r\n"));
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first line names the category the entry is read from, the rest is the reply.
    const size_t split = bytes.find('\n');
    const std::string category(bytes.substr(0, std::min<size_t>(split, 11)));
    if (category.find_first_of("\r\n") != std::string::npos) return 0;
    const std::string text = lumbra::cddbReplyText(
        split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1));
    const auto entry = lumbra::parseReadReply(text, category);
    if (!entry) return 0;
    if (entry->size() > text.size() + category.size()) std::abort();
    const std::string_view genre = genreOf(*entry);
    if (!genre.empty() && genre.size() < 81 && genre != category) std::abort();
    if (lumbra::platform::isValidUtf8(category) && !lumbra::platform::isValidUtf8(*entry))
        std::abort();
    return 0;
}
