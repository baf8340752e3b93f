// Key-by-key reads and writes of INI files on disk (setup.ini, cdinfo.db), with the observable
// behaviour of the platform's private-profile functions.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/profile_text.h"

namespace lumbra::platform {

// Who may read a file that a write creates or replaces. Shared files are created readable by
// everyone (less the umask), owner-only files readable by their owner only; both keep the mode
// of a file they replace. Private files (those holding a password) are made owner-only on every
// write.
enum class FileAccess { Shared, OwnerOnly, Private };

// What a write to a profile file would meet. Writes go through symbolic links to their target.
enum class StoredFileState {
    Absent,      // a write creates it
    Usable,      // a regular file this user may write
    NotRegular,  // a FIFO, a device or a folder: never read, never replaced
    ReadOnly,    // this user may not write it: never replaced
    TooLarge,    // larger than the caller's limit: never read, never replaced
};
StoredFileState storedFileState(const std::string& path, size_t maxBytes = SIZE_MAX);

// The file a write to `path` changes: symbolic links are followed to their target, which a write
// then changes in place of the link, even when the target does not exist yet.
std::string profileWriteTarget(std::string path);

// Replaces the file `target` (already resolved by profileWriteTarget) with `text`, with the mode
// `access` asks for; false, with the old file untouched, when that failed.
bool replaceProfileFile(const std::string& target, std::string_view text, FileAccess access);

// The longest string a read gives back, in bytes, cut at a character boundary.
inline constexpr size_t kProfileStringLimit = 255;

// A stored value as an integer read gives it back: `defaultValue` when missing or empty.
int profileIntOf(std::optional<std::string_view> value, int defaultValue);
// A stored value as a string read gives it back: `defaultValue` when missing, cut to the limit.
std::string profileStringOf(std::optional<std::string_view> value, std::string_view defaultValue);

// The integer at section/key, or `defaultValue` when the file, section or key is missing or the
// value is empty.
int profileReadInt(const std::string& path, std::string_view section, std::string_view key,
                   int defaultValue);

// The string at section/key, at most kProfileStringLimit bytes, or `defaultValue` when missing.
std::string profileReadString(const std::string& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue);

// One section of a profile file, read from disk once for any number of lookups, with the same
// results as profileReadInt and profileReadString.
class ProfileSection {
public:
    ProfileSection(const std::string& path, std::string_view section);

    int readInt(std::string_view key, int defaultValue) const;
    std::string readString(std::string_view key, std::string_view defaultValue) const;

private:
    std::string name_;
    std::string lines_;  // the section's own lines, header included; empty when there is none
};

// Each write replaces the whole file through a temporary file in the same folder, so a crash never
// leaves a half-written file. They return false when the file could not be written, was not a
// regular file or may not be written by this user; the old file is then untouched.
bool profileWriteString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, FileAccess access = FileAccess::Shared);
// Sets every entry in one replacement of the file, as that many profileWriteString calls would.
bool profileWriteStrings(const std::string& path, std::string_view section,
                         std::span<const ProfileEntry> entries,
                         FileAccess access = FileAccess::Shared);
bool profileDeleteKey(const std::string& path, std::string_view section, std::string_view key);
bool profileDeleteSection(const std::string& path, std::string_view section);

}  // namespace lumbra::platform
