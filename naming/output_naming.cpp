#include "naming/output_naming.h"

#include "naming/path_tidying.h"
#include "platform/folders.h"
#include "platform/native_path.h"
#include "settings/encoder_settings.h"

namespace lumbra {
namespace {

constexpr int kPrepared = 1;
constexpr int kFolderFailed = 0;

// Names the folder that could not be made, not the file below it, and why.
std::string folderFailureMessage(std::string_view folder, std::string_view reason) {
    return "无法创建文件夹 \"" + std::string(folder) + "\"：" + std::string(reason) +
           "\n请检查文件是否已经存在并将它重命名，不要在全局设置 > 输出格式中使用 "
           "\"同名时覆盖音轨\" 选项";
}

// Makes `folder`; 0 with the message when it cannot be made.
int ensureOrReport(const std::string& folder, std::string* message) {
    std::string reason;
    if (platform::ensureFolder(folder, &reason)) return kPrepared;
    if (message) *message = folderFailureMessage(folder, reason);
    return kFolderFailed;
}

}  // namespace

OutputFolder::OutputFolder(std::string_view folder) : folder_(folder) {
    if (!folder_.empty() && !folder_.ends_with('/')) folder_ += '/';
}

int OutputFolder::prepare(std::string* message) const {
    // The folder goes to mkdir as typed: a backslash, a colon or a trailing dot in it is part of
    // a name the user chose.
    for (size_t end = folder_.find('/'); end != std::string::npos;
         end = folder_.find('/', end + 1)) {
        if (end > 0 && !ensureOrReport(folder_.substr(0, end), message)) return kFolderFailed;
    }
    return kPrepared;
}

int OutputFolder::prepareOutputPath(std::string& name, std::string* message) const {
    name = tidyOutputName(name);
    // Shortest prefix first, so each folder's parent exists when it is made.
    for (size_t end = name.find('\\'); end != std::string::npos; end = name.find('\\', end + 1)) {
        if (!ensureOrReport(nativePath(name.substr(0, end)), message)) return kFolderFailed;
    }
    return kPrepared;
}

std::string OutputFolder::nativePath(std::string_view name) const {
    // The tidied name holds no slash, so every slash of its native form is one of its separators.
    return folder_ + platform::toNativePath(name);
}

}  // namespace lumbra
