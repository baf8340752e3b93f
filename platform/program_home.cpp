#include "platform/program_home.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/install_layout.h"
#include "platform/user_dirs.h"

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

// An XDG base folder from the environment, or its default below the home folder; the XDG rules
// make a relative path invalid, to be ignored.
std::string xdgBaseFolder(const char* variable, const char* defaultBelowHome) {
    std::string base = environment(variable);
    if (!base.starts_with('/')) base = withoutTrailingSlash(userHomeFolder()) + defaultBelowHome;
    return withoutTrailingSlash(base);
}

std::string userMusicFolder() {
    const std::string home = withoutTrailingSlash(userHomeFolder());
    const auto text =
        readWholeFile(xdgBaseFolder("XDG_CONFIG_HOME", "/.config") + "/user-dirs.dirs");
    if (text) {
        if (auto music = userDirFromText(*text, "XDG_MUSIC_DIR", home)) return *music;
    }
    return home + "/Music";
}

}  // namespace

std::string userConfigFolder() {
    return xdgBaseFolder("XDG_CONFIG_HOME", "/.config") + "/lumbra-cdripper";
}

DefaultFolders defaultFolders(const std::string& programHome) {
    if (withoutTrailingSlash(programHome) != userConfigFolder()) {
        return {programHome + "/My Music", programHome + "/Local CDDB"};
    }
    return {userMusicFolder(),
            xdgBaseFolder("XDG_DATA_HOME", "/.local/share") + "/lumbra-cdripper/Local CDDB"};
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
