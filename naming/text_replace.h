// Search-and-replace over path text, in the two flavours the naming rules need.
#pragma once

#include <string>
#include <string_view>

namespace lumbra {

// Replaces each occurrence of `from` in one pass; text brought in by `to` is not searched again,
// so a replacement that contains `from` cannot loop.
void replaceAll(std::string& text, std::string_view from, std::string_view to);

// Replaces `from` until `text` holds none, including occurrences the replacements create.
// `to` must be shorter than `from`.
void replaceUntilGone(std::string& text, std::string_view from, std::string_view to);

}  // namespace lumbra
