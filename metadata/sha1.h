// SHA-1 of a byte string, for the MusicBrainz disc ID (an identifier, not a security measure).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace lumbra {

using Sha1Digest = std::array<uint8_t, 20>;

Sha1Digest sha1(std::string_view bytes);

}  // namespace lumbra
