#include "platform/program_home.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/install_layout.h"

namespace lumbra::platform {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// A session started without HOME (a service, `env -i`) still belongs to a user with a home.
std::string userHomeFolder() {
    if (std::string home = environment("HOME"); !home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir) {
        return {};
    }
    return found->pw_dir;
}

}  // namespace

std::string userConfigFolder() {
    std::string base = environment("XDG_CONFIG_HOME");
    // The XDG rules make a relative path invalid, to be ignored.
    if (!base.starts_with('/')) base = withoutTrailingSlash(userHomeFolder()) + "/.config";
    return withoutTrailingSlash(base) + "/lumbra-cdripper";
}

std::string executableFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return ".";
    return withoutTrailingSlash(exe.parent_path().string());
}

std::string programHome(const std::string& chosen) {
    if (!chosen.empty()) return withoutTrailingSlash(chosen);
    if (std::string home = environment("LUMBRA_HOME"); !home.empty()) {
        return withoutTrailingSlash(std::move(home));
    }
    // An installed program's folder is shared by every user and is writable to root (or to the
    // owner of a private prefix), yet setup.ini belongs to the user running it.
    const std::string exeFolder = executableFolder();
    if (!installLayout().installed && access(exeFolder.c_str(), W_OK) == 0) return exeFolder;
    const std::string folder = userConfigFolder();
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

}  // namespace lumbra::platform
