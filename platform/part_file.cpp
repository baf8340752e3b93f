#include "platform/part_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <cerrno>

#include <memory>
#include <random>

namespace lumbra::platform {
namespace {

constexpr int kNameAttempts = 100;
constexpr std::string_view kNameCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kRandomCharacters = 10;

std::string randomCharacters() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, kNameCharacters.size() - 1);
    std::string text;
    for (size_t i = 0; i < kRandomCharacters; ++i) text += kNameCharacters[pick(random)];
    return text;
}

std::string inFolder(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && !path.ends_with('/')) path += '/';
    return path + std::string(name);
}

bool lockFile(int fd, int how) {
    int locked;
    do {
        locked = ::flock(fd, how);
    } while (locked != 0 && errno == EINTR);
    return locked == 0;
}

// Whether `path` still names the file open as `fd`: a cleaner that took the part file before
// its writer could lock it has deleted it.
bool namesOpenFile(const std::string& path, int fd) {
    struct stat named {};
    struct stat open {};
    return ::stat(path.c_str(), &named) == 0 && ::fstat(fd, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

PartFile::PartFile(std::string_view folder, std::string_view extension) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string path = inFolder(
            folder, std::string(kPartFilePrefix) + randomCharacters() + std::string(extension));
        // Created like any output file, so the umask gives it the user's usual permissions.
        UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd) {
            if (errno == EEXIST) continue;
            return;
        }
        if (lockFile(fd.get(), LOCK_EX) && namesOpenFile(path, fd.get())) {
            path_ = std::move(path);
            fd_ = std::move(fd);
            return;
        }
    }
}

std::FILE* PartFile::openWriteStream() const {
    if (!fd_) return nullptr;
    UniqueFd duplicate(::dup(fd_.get()));
    if (!duplicate) return nullptr;
    std::FILE* stream = ::fdopen(duplicate.get(), "wb");
    if (stream) duplicate.release();
    return stream;
}

PartFile::~PartFile() {
    if (!settled_) discard();
}

bool PartFile::commit(const std::string& finalPath) {
    if (!fd_ || settled_) return false;
    // A file that is replaced hands its permissions on, as rewriting it in place would.
    struct stat replaced {};
    if (::stat(finalPath.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
        ::fchmod(fd_.get(), replaced.st_mode & 07777);
    }
    if (::rename(path_.c_str(), finalPath.c_str()) != 0) {
        discard();
        return false;
    }
    settled_ = true;
    fd_.reset();
    return true;
}

void PartFile::discard() {
    if (fd_) ::unlink(path_.c_str());
    fd_.reset();
    settled_ = true;
}

std::string folderOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

void removeLeftoverParts(std::string_view folder) {
    const std::string folderPath = folder.empty() ? std::string(".") : std::string(folder);
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folderPath.c_str()));
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(kPartFilePrefix)) continue;
        const std::string path = inFolder(folderPath, name);
        // Only plain files were ever part files; opening anything else (a device) may act.
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (fd && lockFile(fd.get(), LOCK_EX | LOCK_NB) && namesOpenFile(path, fd.get())) {
            ::unlink(path.c_str());
        }
    }
}

}  // namespace lumbra::platform
