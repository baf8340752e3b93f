// Base64 for the Basic credentials of an HTTP proxy.
#pragma once

#include <string>
#include <string_view>

namespace lumbra {

// The standard alphabet (A-Z, a-z, 0-9, "+", "/"), "=" padding, no line breaks; any length.
std::string encodeBase64(std::string_view bytes);

}  // namespace lumbra
