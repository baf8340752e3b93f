#include "app/read_offset_settings.h"

#include <cstdio>
#include <string>

namespace lumbra {
namespace {

constexpr const char* kOffsetCaption = "检测偏移";

const char* failureText(OffsetSearch outcome) {
    switch (outcome) {
        case OffsetSearch::NotInDatabase:
            return "这张 CD 不在 AccurateRip 数据库中，无法检测读取偏移。请换一张常见的 CD 再试。";
        case OffsetSearch::NoMatch:
            return "没有找到与 AccurateRip 数据库相符的读取偏移（-3000 到 +3000 个采样）。";
        case OffsetSearch::ReadFailed:
            return "读取 CD 出错，无法检测读取偏移。";
        default:
            return "无法连接 AccurateRip 数据库，无法检测读取偏移。";
    }
}

}  // namespace

int32_t readOffsetOf(const SettingsRecord& settings, const DriveEntry& drive) {
    if (settings.runReadOffset) return *settings.runReadOffset;
    const auto found = settings.readOffsets.find(drive.model);
    return found == settings.readOffsets.end() ? 0 : found->second;
}

std::optional<int32_t> offerFoundOffset(Prompts& prompts, const OffsetDetection& detection) {
    if (detection.outcome == OffsetSearch::Stopped) return std::nullopt;
    if (detection.outcome != OffsetSearch::Found) {
        prompts.show({kOffsetCaption, failureText(detection.outcome), MessageIcon::Warning});
        return std::nullopt;
    }
    const OffsetCandidate& best = detection.candidates.front();
    char text[256];
    std::snprintf(text, sizeof text,
                  "读取偏移为 %+d 个采样（%d 条音轨与数据库相符，置信度 %d）。\n"
                  "保存为此光驱的读取偏移吗？",
                  best.offset, best.tracks, best.confidence);
    const Message question{kOffsetCaption, text, MessageIcon::Question, MessageButtons::YesNo};
    if (prompts.show(question) != MessageAnswer::Yes) return std::nullopt;
    return best.offset;
}

}  // namespace lumbra
