// The texts of one row of the track list, from the track's entry alone, so the rip page shows
// what the rules decided and tests read the same texts without a screen.
#pragma once

#include <string>

#include "metadata/track_entry.h"

namespace lumbra {

// The title as the list shows it, with the track's own artist ("artist / title"); a data
// track's says that it holds data.
std::string rowTitle(const TrackEntry& track, bool dataTrack);

// "mm:ss" of the track's seconds.
std::string durationText(int32_t seconds);

// The format's prefix and the detail of the track's own encoder block, "MP3 - [ 128-192 kbps VBR
// Q3 ]"; "未知" for a code that is no format.
std::string encoderSummary(const TrackEntry& track);

// "%d%%" while a writer works, then "已完成", "已停止" or "错误".
std::string progressText(int32_t status);

// What the AccurateRip database said of a track once it is done: "准确 (置信度 N)", "不匹配",
// "不在数据库" or "无法校验"; empty before that and for a track that was not looked up.
std::string verificationText(const TrackEntry& track);

// The rip clock in the status line: "[hh:mm:ss]  正在抓取..".
std::string ripClockText(int seconds);

}  // namespace lumbra
