#include "platform/cached_profile_file.h"

#include <sys/stat.h>

#include "platform/atomic_file.h"

namespace lumbra::platform {

CachedProfileFile::CachedProfileFile(std::string path, size_t maxBytes, FileAccess access)
    : path_(std::move(path)), maxBytes_(maxBytes), access_(access) {}

std::optional<CachedProfileFile::Stamp> CachedProfileFile::stampOf(const std::string& target) {
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) return std::nullopt;
    constexpr int64_t kNsPerSecond = 1'000'000'000;
    return Stamp{st.st_dev, st.st_ino, st.st_size,
                 int64_t(st.st_mtim.tv_sec) * kNsPerSecond + st.st_mtim.tv_nsec,
                 int64_t(st.st_ctim.tv_sec) * kNsPerSecond + st.st_ctim.tv_nsec};
}

void CachedProfileFile::keep(std::string text, std::optional<Stamp> stamp) {
    kept_ = std::make_unique<ProfileIndex>(std::move(text));
    keptStamp_ = stamp;
}

bool CachedProfileFile::refresh(const std::string& target) {
    const auto stamp = stampOf(target);
    if (stamp && stamp == keptStamp_) return true;
    auto text = readWholeFile(target);
    if (!text) {
        keep({}, std::nullopt);
        return false;
    }
    ++diskReads_;
    keep(std::move(*text), stamp);
    return true;
}

const ProfileIndex& CachedProfileFile::current() {
    const std::string target = profileWriteTarget(path_);
    switch (storedFileState(target, maxBytes_)) {
        case StoredFileState::Usable:
        case StoredFileState::ReadOnly:
            refresh(target);
            break;
        case StoredFileState::Absent:
        case StoredFileState::NotRegular:
        case StoredFileState::TooLarge:
            keep({}, std::nullopt);
            break;
    }
    return *kept_;
}

bool CachedProfileFile::edit(const std::function<std::string(std::string_view)>& edit) {
    const std::string target = profileWriteTarget(path_);
    switch (storedFileState(target, maxBytes_)) {
        case StoredFileState::Absent:
            keep({}, std::nullopt);
            break;
        case StoredFileState::Usable:
            // Whatever another program changed since the last read is kept.
            if (!refresh(target)) return false;
            break;
        case StoredFileState::NotRegular:
        case StoredFileState::ReadOnly:
        case StoredFileState::TooLarge:
            return false;
    }
    std::string text = edit(kept_->text());
    if (!replaceProfileFile(target, text, access_)) return false;
    keep(std::move(text), stampOf(target));
    return true;
}

void CachedProfileFile::forget() {
    keep({}, std::nullopt);
}

}  // namespace lumbra::platform
