// Paths cross the writer library's interface as UTF-16; inside, text is UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lumbra {

// The UTF-16 form of `utf8`, or nothing when it is not valid UTF-8 or needs more than
// `maxUnits` code units with the terminator counted.
std::optional<std::u16string> toWidePath(std::string_view utf8, size_t maxUnits);

// The UTF-8 form of a terminated UTF-16 text, or nothing when it holds an unpaired surrogate.
std::optional<std::string> fromWidePath(const char16_t* wide);

}  // namespace lumbra
