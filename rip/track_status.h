// A track's status field: progress in percent while a writer works, then how it ended.
#pragma once

#include <cstdint>

namespace lumbra {

inline constexpr int32_t kTrackDone = 100;
inline constexpr int32_t kTrackCancelled = 101;
inline constexpr int32_t kTrackFailed = 102;

}  // namespace lumbra
