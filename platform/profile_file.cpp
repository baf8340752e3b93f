#include "platform/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace lumbra::platform {
namespace {

StoredFileState stateOf(const std::string& target, size_t maxBytes = SIZE_MAX) {
    struct stat st {};
    if (stat(target.c_str(), &st) != 0) return StoredFileState::Absent;
    if (!S_ISREG(st.st_mode)) return StoredFileState::NotRegular;
    if (uint64_t(st.st_size) > maxBytes) return StoredFileState::TooLarge;
    if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return StoredFileState::ReadOnly;
    return StoredFileState::Usable;
}

// A file that exists but cannot be read, is not a regular file or may not be written by this
// user is never replaced: that would lose every other key, or overrule the file's owner.
template <typename Edit>
bool rewrite(const std::string& path, FileAccess access, Edit edit) {
    const std::string target = profileWriteTarget(path);
    std::string old;
    switch (stateOf(target)) {
        case StoredFileState::Absent:
            break;
        case StoredFileState::Usable:
            if (auto text = readWholeFile(target)) {
                old = std::move(*text);
                break;
            }
            return false;
        case StoredFileState::NotRegular:
        case StoredFileState::ReadOnly:
        case StoredFileState::TooLarge:
            return false;
    }
    return replaceProfileFile(target, edit(old), access);
}

}  // namespace

StoredFileState storedFileState(const std::string& path, size_t maxBytes) {
    return stateOf(profileWriteTarget(path), maxBytes);
}

std::string profileWriteTarget(std::string path) {
    constexpr int kMaxLinkHops = 40;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) return path;
        const auto target = std::filesystem::read_symlink(path, error);
        if (error) return path;
        path = target.is_absolute() ? target.string()
                                    : (std::filesystem::path(path).parent_path() / target).string();
    }
    return path;
}

bool replaceProfileFile(const std::string& target, std::string_view text, FileAccess access) {
    const mode_t newFileMode = access == FileAccess::Shared ? 0666 : 0600;
    std::optional<mode_t> forceMode;
    if (access == FileAccess::Private) forceMode = 0600;
    return replaceFileAtomically(target, text, newFileMode, forceMode);
}

int profileIntOf(std::optional<std::string_view> value, int defaultValue) {
    return value && !value->empty() ? parseProfileInt(*value) : defaultValue;
}

std::string profileStringOf(std::optional<std::string_view> value, std::string_view defaultValue) {
    return utf8Prefix(value.value_or(defaultValue), kProfileStringLimit);
}

ProfileSection::ProfileSection(const std::string& path, std::string_view section) : name_(section) {
    if (const auto text = readWholeFile(path)) lines_ = profileSectionText(*text, section);
}

int ProfileSection::readInt(std::string_view key, int defaultValue) const {
    return profileIntOf(findProfileValue(lines_, name_, key), defaultValue);
}

std::string ProfileSection::readString(std::string_view key, std::string_view defaultValue) const {
    return profileStringOf(findProfileValue(lines_, name_, key), defaultValue);
}

int profileReadInt(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue) {
    return ProfileSection(path, section).readInt(key, defaultValue);
}

std::string profileReadString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
    return ProfileSection(path, section).readString(key, defaultValue);
}

bool profileWriteString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, FileAccess access) {
    return rewrite(path, access, [&](std::string_view text) {
        return setProfileValue(text, section, key, value);
    });
}

bool profileWriteStrings(const std::string& path, std::string_view section,
                         std::span<const ProfileEntry> entries, FileAccess access) {
    return rewrite(path, access,
                   [&](std::string_view text) { return setProfileValues(text, section, entries); });
}

bool profileDeleteKey(const std::string& path, std::string_view section, std::string_view key) {
    if (storedFileState(path) == StoredFileState::Absent) return true;
    return rewrite(path, FileAccess::Shared,
                   [&](std::string_view text) { return removeProfileKey(text, section, key); });
}

bool profileDeleteSection(const std::string& path, std::string_view section) {
    if (storedFileState(path) == StoredFileState::Absent) return true;
    return rewrite(path, FileAccess::Shared,
                   [&](std::string_view text) { return removeProfileSection(text, section); });
}

}  // namespace lumbra::platform
