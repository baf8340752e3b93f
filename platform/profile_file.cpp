#include "platform/profile_file.h"

#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/profile_text.h"
#include "platform/text_encoding.h"

namespace lumbra::platform {
namespace {

std::optional<std::string> lookUp(const std::string& path, std::string_view section,
                                  std::string_view key) {
    const auto text = readWholeFile(path);
    if (!text) return std::nullopt;
    const auto value = findProfileValue(*text, section, key);
    if (!value) return std::nullopt;
    return std::string(*value);
}

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

int profileReadInt(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue) {
    const auto value = lookUp(path, section, key);
    return value && !value->empty() ? parseProfileInt(*value) : defaultValue;
}

std::string profileReadString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue) {
    const auto value = lookUp(path, section, key);
    return utf8Prefix(value ? std::string_view(*value) : defaultValue, kProfileStringLimit);
}

bool profileWriteString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, FileAccess access) {
    return rewrite(path, access, [&](std::string_view text) {
        return setProfileValue(text, section, key, value);
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
