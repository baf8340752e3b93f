// Text inside the program is UTF-8; these convert where bytes leave or arrive in the Chinese
// Windows code pages (ID3v1 tags, older CDDB entries).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lumbra::platform {

bool isValidUtf8(std::string_view text);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end inside a UTF-8
// character.
std::string utf8Prefix(std::string_view text, size_t maxBytes);

// UTF-8 to GBK (code page 936); characters GBK lacks become '?'. Invalid input bytes become '?'.
std::string utf8ToGbk(std::string_view utf8);

// GBK or GB18030 bytes to UTF-8; bytes that form no character become U+FFFD.
std::string gb18030ToUtf8(std::string_view bytes);

// Valid UTF-8 as it is, anything else decoded from GB18030.
std::string toUtf8FromUnknown(std::string_view bytes);

// Bytes in `encoding` (an iconv name) to UTF-8; bytes that form no character become U+FFFD.
std::string decodeToUtf8(const char* encoding, std::string_view bytes);

// UTF-8 to `encoding`, or nothing when a character has no form there (or the input is not
// UTF-8).
std::optional<std::string> encodeFromUtf8(const char* encoding, std::string_view utf8);

}  // namespace lumbra::platform
