#include "app/rip_summary.h"

#include "rip/track_status.h"

namespace lumbra {

RipSummary summariseRip(const std::vector<TrackEntry>& tracks) {
    RipSummary summary;
    for (const TrackEntry& track : tracks) {
        if (!track.checked) continue;
        if (track.status == kTrackDone) {
            ++summary.written;
        } else if (track.status == kTrackFailed) {
            ++summary.failed;
        } else {
            ++summary.stopped;
        }
    }
    return summary;
}

std::string ripSummaryText(const RipSummary& summary, const std::string& folder) {
    std::string text = summary.stopped > 0 ? "已停止：" : "完成：";
    // The current folder when none is set, as the rip writes there.
    text += std::to_string(summary.written) + " 个音轨已写入 " + (folder.empty() ? "." : folder);
    if (summary.failed > 0) text += "，" + std::to_string(summary.failed) + " 个失败";
    if (summary.stopped > 0) text += "，" + std::to_string(summary.stopped) + " 个未完成";
    return text;
}

}  // namespace lumbra
