#include "naming/path_tidying.h"

#include <algorithm>

#include "naming/text_replace.h"
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

// A colon is only a drive's ("D:\"); anywhere else it is no file-name character.
void replaceColons(std::string& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == ':' && i != 1) path[i] = '_';
    }
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

std::string tidyOutputPath(std::string_view path) {
    std::string tidied(path);
    for (int round = 0; round < kTidyRounds; ++round) tidyOnce(tidied);
    // The dot rule turns a leading ".\" into "\": the current folder must not become the root.
    if (!path.starts_with('\\')) tidied.erase(0, tidied.find_first_not_of('\\'));
    replaceColons(tidied);
    return shortenNames(tidied);
}

}  // namespace lumbra
