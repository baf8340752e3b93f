#include "naming/path_tidying.h"

#include <algorithm>

#include "naming/text_replace.h"
#include "platform/control_characters.h"
#include "platform/text_encoding.h"

namespace lumbra {
namespace {

constexpr std::string_view kReservedCharacters = "*?\"<>|/";

// One rule can expose work for an earlier one (" .\" turns into " \" once its dot goes); three
// rounds settle the chains that real names produce.
constexpr int kTidyRounds = 3;

void tidyOnce(std::string& path) {
    replaceUntilGone(path, " \\", "\\");
    replaceUntilGone(path, "\\ ", "\\");
    replaceUntilGone(path, "\\\\", "\\");
    replaceUntilGone(path, ".\\", "\\");
    std::replace_if(
        path.begin(), path.end(),
        [](char c) { return kReservedCharacters.find(c) != std::string_view::npos; }, '_');
}

std::string shortenNames(std::string_view path) {
    std::string shortened;
    size_t start = 0;
    for (size_t end = path.find('\\'); end != std::string_view::npos;
         end = path.find('\\', start)) {
        shortened += platform::utf8Prefix(path.substr(start, end - start), kMaxNameBytes);
        shortened += '\\';
        start = end + 1;
    }
    return shortened + platform::utf8Prefix(path.substr(start), kMaxFileNameBytes);
}

}  // namespace

std::string tidyOutputName(std::string_view name) {
    std::string tidied =
        platform::replaceControlCharacters(platform::withoutHiddenCharacters(name), '_');
    for (int round = 0; round < kTidyRounds; ++round) tidyOnce(tidied);
    // A value that starts with a separator ("\tmp\x") must not make the name absolute; the
    // dot rule has already turned every ".." folder into a separator.
    tidied.erase(0, tidied.find_first_not_of('\\'));
    // A colon would be a drive's only in an absolute path, and these names are never absolute.
    std::replace(tidied.begin(), tidied.end(), ':', '_');
    return shortenNames(tidied);
}

}  // namespace lumbra
