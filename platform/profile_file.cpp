#include "platform/profile_file.h"

#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace lumbra::platform {
namespace {

bool fileExists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// A file that exists but cannot be read is never replaced: that would lose every other key.
template <typename Edit>
bool rewrite(const std::string& path, FileAccess access, Edit edit) {
    std::string old;
    if (fileExists(path)) {
        auto text = readWholeFile(path);
        if (!text) return false;
        old = std::move(*text);
    }
    std::optional<mode_t> forceMode;
    if (access == FileAccess::Private) forceMode = 0600;
    return replaceFileAtomically(path, edit(old), 0666, forceMode);
}

}  // namespace

ProfileSection::ProfileSection(const std::string& path, std::string_view section)
    : name_(section) {
    if (const auto text = readWholeFile(path)) lines_ = profileSectionText(*text, section);
}

int ProfileSection::readInt(std::string_view key, int defaultValue) const {
    const auto value = findProfileValue(lines_, name_, key);
    return value && !value->empty() ? parseProfileInt(*value) : defaultValue;
}

std::string ProfileSection::readString(std::string_view key, std::string_view defaultValue) const {
    const auto value = findProfileValue(lines_, name_, key);
    return utf8Prefix(value.value_or(defaultValue), kProfileStringLimit);
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
    return rewrite(path, access, [&](std::string_view text) {
        return setProfileValues(text, section, entries);
    });
}

bool profileDeleteKey(const std::string& path, std::string_view section, std::string_view key) {
    if (!fileExists(path)) return true;
    return rewrite(path, FileAccess::Shared, [&](std::string_view text) {
        return removeProfileKey(text, section, key);
    });
}

bool profileDeleteSection(const std::string& path, std::string_view section) {
    if (!fileExists(path)) return true;
    return rewrite(path, FileAccess::Shared, [&](std::string_view text) {
        return removeProfileSection(text, section);
    });
}

}  // namespace lumbra::platform
