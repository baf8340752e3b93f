#include "metadata/cddb_reply.h"

#include <algorithm>

#include "metadata/cddb_match_line.h"
#include "platform/control_characters.h"
#include "platform/text_encoding.h"

namespace lumbra {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHttpHeaderEnd = "\r\n\r\n";
constexpr std::string_view kGenreKey = "DGENRE=";
constexpr std::string_view kEntryEnd = ".";
constexpr size_t kEntryEndSearch = 3;
constexpr size_t kGenreValueLimit = 81;

constexpr int kHttpOk = 200;
constexpr int kStatusExactMatch = 200;
constexpr int kStatusMatchList = 210;
constexpr int kStatusInexactMatches = 211;
constexpr std::string_view kStatusEntryFollows = "210";

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

size_t utf8LengthOfLead(unsigned char c) {
    return c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
}

// A complete reply ends with CR LF, so text ending inside a UTF-8 character was cut off by a full
// buffer; the start of that character must not make the whole reply read as GB18030.
size_t withoutCutCharacter(std::string_view text) {
    for (size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto c = static_cast<unsigned char>(text[text.size() - back]);
        if (isContinuation(c)) continue;
        return utf8LengthOfLead(c) > back ? text.size() - back : text.size();
    }
    return text.size();
}

// The line behind its first four characters: the status and the character after it, which
// may take more than one byte in a broken reply.
std::string_view behindStatus(std::string_view line) {
    size_t start = std::min<size_t>(4, line.size());
    while (start < line.size() && isContinuation(static_cast<unsigned char>(line[start]))) ++start;
    return line.substr(start);
}

size_t lineStartOf(std::string_view text, std::string_view key) {
    for (size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
        if (at == 0 || text[at - 1] == '\n') return at;
    }
    return std::string_view::npos;
}

// The category a server files an entry under is the genre the local database keeps for it; a
// different genre written in the entry's own text gives way to it, so both sources agree.
void replaceGenre(std::string& entry, std::string_view category) {
    const size_t key = lineStartOf(entry, kGenreKey);
    if (key == std::string::npos) return;
    const size_t start = key + kGenreKey.size();
    const size_t end = std::min(entry.find_first_of("\r\n", start), entry.size());
    const std::string_view value = std::string_view(entry).substr(start, end - start);
    if (value.empty() || value.size() >= kGenreValueLimit || value == category) return;
    entry.replace(start, end - start, category);
}

}  // namespace

std::string cddbReplyText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    if (platform::isValidUtf8(bytes)) return std::string(bytes);
    const std::string_view whole = bytes.substr(0, withoutCutCharacter(bytes));
    if (whole.size() < bytes.size() && platform::isValidUtf8(whole)) return std::string(whole);
    return platform::gb18030ToUtf8(bytes);
}

std::string_view cddbResponse(std::string_view reply) {
    if (!reply.starts_with("HTTP")) return reply;
    if (refusedHttpStatus(reply)) return {};
    const size_t end = reply.find(kHttpHeaderEnd);
    return end == std::string_view::npos ? std::string_view()
                                         : reply.substr(end + kHttpHeaderEnd.size());
}

std::optional<std::string> refusedHttpStatus(std::string_view reply) {
    if (!reply.starts_with("HTTP")) return std::nullopt;
    const std::string_view line = reply.substr(0, reply.find_first_of("\r\n"));
    // "HTTP/1.0 200 OK": the status is the three digits behind the first space.
    const size_t space = line.find(' ');
    if (space != std::string_view::npos && cddbStatus(line.substr(space + 1)) == kHttpOk &&
        (line.size() == space + 4 || line[space + 4] == ' ')) {
        return std::nullopt;
    }
    return platform::withoutControlCharacters(platform::utf8Prefix(line, kReplyLineLimit));
}

std::string ReplyLines::next() {
    const size_t end = rest_.find(kLineEnd);
    if (end == std::string_view::npos) {
        rest_ = {};
        return {};
    }
    const std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end + kLineEnd.size());
    return platform::utf8Prefix(line, kReplyLineLimit);
}

int cddbStatus(std::string_view line) {
    if (line.size() < 3) return 0;
    int status = 0;
    for (char c : line.substr(0, 3)) {
        if (c < '0' || c > '9') return 0;
        status = status * 10 + (c - '0');
    }
    return status;
}

CddbMatchList parseQueryReply(std::string_view replyText, size_t capacity) {
    CddbMatchList matches;
    ReplyLines lines(cddbResponse(replyText));
    const std::string first = lines.next();
    const int status = cddbStatus(first);
    if (status == kStatusExactMatch && capacity > 0) {
        if (auto match = parseMatchLine(behindStatus(first))) {
            matches.push_back(std::move(*match));
        }
    } else if (status == kStatusMatchList || status == kStatusInexactMatches) {
        for (int i = 0; i < kMaxMatchLines && matches.size() < capacity; ++i) {
            const std::string line = lines.next();
            if (line == kEntryEnd) break;
            if (auto match = parseMatchLine(line)) matches.push_back(std::move(*match));
        }
    }
    return matches;
}

std::optional<std::string> parseReadReply(std::string_view replyText, std::string_view category) {
    const std::string_view response = cddbResponse(replyText);
    if (!response.starts_with(kStatusEntryFollows)) return std::nullopt;
    const size_t statusEnd = response.find('\n');
    std::string entry(statusEnd == std::string_view::npos ? std::string_view()
                                                          : response.substr(statusEnd + 1));
    const size_t tail = entry.size() - std::min(entry.size(), kEntryEndSearch);
    const size_t end = entry.find(kEntryEnd, tail);
    if (end != std::string::npos) entry.resize(end);
    replaceGenre(entry, category);
    return entry;
}

}  // namespace lumbra
