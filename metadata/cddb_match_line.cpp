#include "metadata/cddb_match_line.h"

#include "platform/text_encoding.h"

namespace lumbra {
namespace {

constexpr size_t kCategoryWidth = 11;
constexpr size_t kDiscIdDigits = 8;
constexpr size_t kNameWidth = 80;
constexpr std::string_view kTitleSeparator = " / ";

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::string_view withoutLeadingSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// A server that ends its lines with CR CR LF, or one that mixes in a bare LF, leaves a line end
// on the name.
std::string nameField(std::string_view text) {
    if (text.ends_with('\r') || text.ends_with('\n')) text.remove_suffix(1);
    return platform::utf8Prefix(text, kNameWidth);
}

}  // namespace

std::optional<CddbMatch> parseMatchLine(std::string_view line) {
    const size_t space = line.find(' ');
    if (space == 0 || space == std::string_view::npos) return std::nullopt;
    CddbMatch match;
    match.category = platform::utf8Prefix(line.substr(0, space), kCategoryWidth);
    // Bytes that are no text may leave nothing to keep, and an entry needs a category to be read.
    if (match.category.empty()) return std::nullopt;

    std::string_view rest = withoutLeadingSpaces(line.substr(space));
    size_t digits = 0;
    while (digits < kDiscIdDigits && digits < rest.size() && isHexDigit(rest[digits])) ++digits;
    if (digits >= rest.size() || rest[digits] != ' ') return std::nullopt;
    match.discId = std::string(rest.substr(0, digits));

    rest = withoutLeadingSpaces(rest.substr(digits));
    const size_t separator = rest.find(kTitleSeparator);
    if (separator == std::string_view::npos) {
        match.artist = match.title = nameField(rest);
    } else {
        match.artist = nameField(rest.substr(0, separator));
        match.title = nameField(rest.substr(separator + kTitleSeparator.size()));
    }
    return match;
}

}  // namespace lumbra
