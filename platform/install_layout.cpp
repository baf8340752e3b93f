#include "platform/install_layout.h"

#include <filesystem>
#include <system_error>

#include "platform/program_home.h"

namespace lumbra::platform {
namespace {

// Both relative to the installed executable's folder; the build knows where it installs them.
constexpr const char* kModuleFolderFromBin = LUMBRA_MODULE_FOLDER_FROM_BIN;
constexpr const char* kDataFolderFromBin = LUMBRA_DATA_FOLDER_FROM_BIN;

std::string below(const std::string& folder, const char* relative) {
    std::string path = (std::filesystem::path(folder) / relative).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool isFolder(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

}  // namespace

InstallLayout installLayoutFor(const std::string& binFolder) {
    const std::string modules = below(binFolder, kModuleFolderFromBin);
    if (!isFolder(modules)) return {false, binFolder, binFolder};
    return {true, modules, below(binFolder, kDataFolderFromBin)};
}

const InstallLayout& installLayout() {
    static const InstallLayout layout = installLayoutFor(executableFolder());
    return layout;
}

std::string modulePath(const std::string& fileName) {
    return installLayout().moduleFolder + "/" + fileName;
}

}  // namespace lumbra::platform
