// Reading what a CDDB server answered, apart from the exchange itself, so that captured replies
// can be replayed in tests and fuzzers. Every function takes any bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "metadata/cddb_match.h"

namespace lumbra {

// The most lines of a 210 or 211 reply that are looked at.
inline constexpr int kMaxMatchLines = 100;
// Bytes of a reply line that are kept; the rest of a longer line is skipped.
inline constexpr size_t kReplyLineLimit = 79;

// Reply bytes as UTF-8: up to the first zero byte; valid UTF-8 as it is (also when only its
// last character was cut off by a full buffer, which is then dropped), anything else decoded
// from GB18030, the encoding of older Chinese entries.
std::string cddbReplyText(std::string_view bytes);

// The CDDB response inside a reply: behind the first empty line when the reply starts with an
// HTTP status line of status 200, else the reply itself; empty for any other HTTP status (a
// redirect, a proxy's error page) and for an HTTP header that never ends.
std::string_view cddbResponse(std::string_view reply);

// For a reply whose HTTP status is not 200, its status line ("HTTP/1.0 500 Internal Server
// Error"), cut short and without control characters; nullopt for a 200 and for a reply without
// an HTTP header.
std::optional<std::string> refusedHttpStatus(std::string_view reply);

// The lines of a response, each up to its CR LF and cut to kReplyLineLimit bytes at a character
// boundary. A last line without CR LF is never seen: once no CR LF is left, every line is empty.
class ReplyLines {
public:
    explicit ReplyLines(std::string_view text) : rest_(text) {}
    std::string next();

private:
    std::string_view rest_;
};

// The status number formed by a line's first three characters, or 0 when they are not digits.
int cddbStatus(std::string_view line);

// The matches of a query reply in the server's order, at most `capacity`: one for status 200,
// the parsing lines up to "." for 210 and 211, none for every other status.
CddbMatchList parseQueryReply(std::string_view replyText, size_t capacity);

// The entry of a read reply (status 210): everything behind the status line, without the
// terminating "." and with a DGENRE value that differs from `category` replaced by it. nullopt
// for any other status.
std::optional<std::string> parseReadReply(std::string_view replyText, std::string_view category);

}  // namespace lumbra
