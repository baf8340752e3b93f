// The texts the WMA writers show. The three set-up failures begin with a space.
#pragma once

namespace lumbra::wma_messages {

inline constexpr const char* kEntryPointMissing = "无法找到 WMAudioCreateWriter 库程序";
inline constexpr const char* kInternalError = "内部错误";
inline constexpr const char* kCannotCreateWriter = " 创建音频记录器失败";
inline constexpr const char* kInputFormatRefused = " 设置输入格式失败";
inline constexpr const char* kOutputFormatRefused = " 设置输出格式失败";
inline constexpr const char* kUseDrmRefused = "SetAttribute use_drm failed";
inline constexpr const char* kCannotOpenPcm = "无法打开 PCM 数据文件";

}  // namespace lumbra::wma_messages
