// The discs seen lately: which local disc key goes with which CDDB disc ID, with the frame
// offsets and length that rebuild a local entry's text. Used by the user-interface thread and
// the lookup job alike, so every add and lookup is atomic.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace lumbra {

inline constexpr int kRecentDiscSlots = 20;
inline constexpr int kRecentDiscValues = 100;

struct RecentDisc {
    uint32_t localKey = 0;
    uint32_t discId = 0;
    int trackCount = 0;
    // The track count's frame offsets, then the disc length in seconds; the rest zero.
    std::array<uint32_t, kRecentDiscValues> values{};
};

// Adds an entry in the slot after the one written last (wrapping from 19 to 0). `values` holds
// the offsets and the length; more than 100 values are cut.
void rememberDisc(uint32_t localKey, uint32_t discId, int trackCount,
                  std::span<const uint32_t> values);

// The entry of the lowest slot with that key or ID.
std::optional<RecentDisc> findByLocalKey(uint32_t localKey);
std::optional<RecentDisc> findByDiscId(uint32_t discId);

// The entry of the lowest slot with that key whose frame offsets and length are `values`, the
// track count being one less than their number.
std::optional<RecentDisc> findByLayout(uint32_t localKey, std::span<const uint32_t> values);

// Empties the table, as at program start.
void forgetRecentDiscs();

}  // namespace lumbra
