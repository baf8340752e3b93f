// The texts the rip job and its writers show.
#pragma once

namespace lumbra::rip_messages {

inline constexpr const char* kCannotCreateOutput = "无法创建输出文件: ";
inline constexpr const char* kWriteError = "写入输出文件出错: ";
inline constexpr const char* kCannotGetDrive = "无法获取 CD Rom";
inline constexpr const char* kReadErrorFormat = "错误在帧 %d (%d:%u)";
inline constexpr const char* kExistsFormat = "%s 已经存在。\n您想要覆盖它吗？";
inline constexpr const char* kConfirmCaption = "确认";
inline constexpr const char* kLameLoadError = "错误载入 LAME encoder dll";
inline constexpr const char* kLameEntryError = "从 LAME dll 汇集编码函数出错";
inline constexpr const char* kWmaLibraryMissing = "无法找到 WmAudSDK.DLL 文件";

}  // namespace lumbra::rip_messages
