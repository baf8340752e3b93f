#include "naming/output_naming.h"

#include <sys/stat.h>

#include <filesystem>

#include "app/encoder_settings.h"
#include "naming/path_tidying.h"
#include "platform/native_path.h"

namespace lumbra {
namespace {

constexpr int kPrepared = 1;
constexpr int kFolderFailed = 0;

// mkdir's own result is not the test: a folder that is already there is just what we want,
// and only a folder still missing afterwards (a file in the way, no permission) is a failure.
bool ensureFolder(const std::string& nativeFolder) {
    ::mkdir(nativeFolder.c_str(), 0777);
    std::error_code ignored;
    return std::filesystem::is_directory(nativeFolder, ignored);
}

// Shortest prefix first, so each folder's parent exists when it is made.
bool createFoldersAlong(std::string_view path) {
    for (size_t separator = path.find('\\'); separator != std::string_view::npos;
         separator = path.find('\\', separator + 1)) {
        if (!ensureFolder(nativeOutputPath(path.substr(0, separator + 1)))) return false;
    }
    return true;
}

std::string folderFailureMessage(std::string_view path) {
    return "无法创建文件夹 \"" + nativeOutputPath(path) +
           "\"\n请检查文件是否已经存在并将它重命名\\不要在全局设置 > 输出格式中使用 "
           "\"同名时覆盖音轨\" 选项";
}

// The tidying drops a dot before a separator, which would turn a folder typed as "../x" into
// "x": such steps are resolved here, while they still mean what was typed.
std::filesystem::path withoutDotSteps(std::string_view folder) {
    std::filesystem::path normal = std::filesystem::path(folder).lexically_normal();
    if (normal == ".") return {};
    if (!normal.empty() && *normal.begin() == "..") {
        std::error_code noCurrentFolder;  // leaves the path empty: the current folder
        normal = std::filesystem::absolute(normal, noCurrentFolder).lexically_normal();
    }
    return normal;
}

}  // namespace

int prepareOutputPath(std::string& path, std::string* message) {
    path = tidyOutputPath(path);
    if (createFoldersAlong(path)) return kPrepared;
    if (message) *message = folderFailureMessage(path);
    return kFolderFailed;
}

std::string outputPathBase(std::string_view outputFolder) {
    const std::string folder = platform::toBackslashPath(withoutDotSteps(outputFolder).string());
    if (folder.empty() || folder.ends_with('\\')) return folder;
    return folder + '\\';
}

std::string_view extensionFor(int32_t format) {
    switch (format) {
        case kFormatWav:
            return ".wav";
        case kFormatOgg:
            return ".ogg";
        case kFormatMp3:
            return ".mp3";
        case kFormatWma:
            return ".wma";
        default:
            return "";
    }
}

std::string nativeOutputPath(std::string_view backslashPath) {
    return platform::toNativePath(backslashPath);
}

}  // namespace lumbra
