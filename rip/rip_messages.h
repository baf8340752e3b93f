// The texts the rip job and its writers show.
#pragma once

namespace lumbra::rip_messages {

inline constexpr const char* kCannotCreateOutput = "无法创建输出文件: ";
inline constexpr const char* kWriteError = "写入输出文件出错: ";
inline constexpr const char* kCannotGetDrive = "无法获取 CD Rom";
inline constexpr const char* kReadErrorFormat = "错误在帧 %d (%d:%u)";
inline constexpr const char* kExistsFormat = "%s 已经存在。\n您想要覆盖它吗？";
inline constexpr const char* kConfirmCaption = "确认";
inline constexpr const char* kCannotOpenPcm = "无法打开 PCM 数据文件";
inline constexpr const char* kCannotReadPcm = "读取 PCM 数据文件出错";

inline constexpr const char* kLameLoadError = "错误载入 LAME encoder dll";
inline constexpr const char* kLameEntryError = "从 LAME dll 汇集编码函数出错";
inline constexpr const char* kMp3EncoderSetupFailed = "无法启动 MP3 编码器: ";

inline constexpr const char* kOggSettingsRefused = "Ogg Vorbis 编码器不接受这些设置: ";

inline constexpr const char* kFlacCannotStartFormat = "无法启动 FLAC 编码器 (压缩级别 %d)";
// The sample counts from 0 at the start of the track; channel 1 is the left one.
inline constexpr const char* kFlacVerifyMismatchFormat =
    "FLAC 校验失败: 解码后的音频与原始音频不符 (第 %llu 个采样, 声道 %u: 应为 %d, 实为 %d)";
inline constexpr const char* kFlacVerifyUndecodable = "FLAC 校验失败: 刚编码的音频无法解码";
inline constexpr const char* kFlacEncoderFailed = "FLAC 编码器出错: ";

inline constexpr const char* kOpusCannotStartFormat = "无法启动 Opus 编码器 (%d kbps): %s";
inline constexpr const char* kOpusEncoderFailed = "Opus 编码器出错: ";

// The WMA writer library's. The three set-up failures begin with a space.
inline constexpr const char* kWmaLibraryMissing = "无法找到 WmAudSDK.DLL 文件";
inline constexpr const char* kWmaEntryPointMissing = "无法找到 WMAudioCreateWriter 库程序";
inline constexpr const char* kWmaInternalError = "内部错误";
inline constexpr const char* kWmaCannotCreateWriter = " 创建音频记录器失败";
inline constexpr const char* kWmaInputFormatRefused = " 设置输入格式失败";
inline constexpr const char* kWmaOutputFormatRefused = " 设置输出格式失败";
inline constexpr const char* kWmaUseDrmRefused = "SetAttribute use_drm failed";

}  // namespace lumbra::rip_messages
