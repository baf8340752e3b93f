// Text from discs, CDDB replies and templates may hold control characters: in a file name they
// make names no one can type, on a terminal they are commands (retitling the window, clearing
// the screen, ringing the bell).
#pragma once

#include <string>
#include <string_view>

namespace lumbra::platform {

// `text` with every C0 control character (NUL included) and DEL replaced by `replacement`.
std::string replaceControlCharacters(std::string_view text, char replacement);

// `text` without its C0 control characters and DEL, as tags store it; UTF-8 sequences stay whole.
std::string withoutControlCharacters(std::string_view text);

// `text` safe to print to a terminal: C0 control characters other than line feed and tab, DEL
// and the C1 control characters (U+0080 to U+009F, which some terminals obey as escapes) become
// '?'.
std::string printableText(std::string_view text);

}  // namespace lumbra::platform
