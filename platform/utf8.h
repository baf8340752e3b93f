// One reading of UTF-8 for the whole program, so text judged valid in one place is never
// rejected, or split differently, in another.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lumbra::platform {

// Decodes the character at `at` and moves past it. Nothing, with `at` past the lead byte only,
// for a malformed, truncated or overlong sequence, a surrogate or a value beyond U+10FFFF.
std::optional<char32_t> decodeUtf8Character(std::string_view text, size_t& at);

// Appends the UTF-8 form of `c`, a Unicode scalar value.
void appendUtf8Character(std::string& out, char32_t c);

}  // namespace lumbra::platform
