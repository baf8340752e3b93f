// Text from discs, CDDB replies and templates may hold control characters: in a file name they
// make names no one can type, on a terminal they are commands (retitling the window, clearing
// the screen, ringing the bell).
#pragma once

#include <string>
#include <string_view>

namespace lumbra::platform {

// `text` with every C0 control character (NUL included) and DEL replaced by `replacement`.
std::string replaceControlCharacters(std::string_view text, char replacement);

// `text` with each tab turned into a space and without the characters that are never seen but
// act: the C1 control characters (U+0080 to U+009F, which GB18030 bytes can decode to) and the
// bidirectional embeddings, overrides and isolates (U+202A to U+202E, U+2066 to U+2069), which
// show a name backwards ("evil\u202Egpj.exe"). Other UTF-8 sequences stay whole.
std::string withoutHiddenCharacters(std::string_view text);

// withoutHiddenCharacters, then without the C0 control characters and DEL: text as tags keep it.
std::string withoutControlCharacters(std::string_view text);

// `text` safe to print to a terminal: C0 control characters other than line feed and tab, DEL
// and the C1 control characters (U+0080 to U+009F, which some terminals obey as escapes) become
// '?'.
std::string printableText(std::string_view text);

}  // namespace lumbra::platform
