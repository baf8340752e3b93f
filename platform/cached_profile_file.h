// A profile file read from disk once and kept while it stays unchanged there, so that a start-up
// reading a hundred keys reads and parses the file once, not once per key.
#pragma once

#include <sys/types.h>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/profile_file.h"
#include "platform/profile_text.h"

namespace lumbra::platform {

class CachedProfileFile {
public:
    // A file over `maxBytes` is treated as one that cannot be read: lookups find nothing and
    // edits are refused, so a damaged or hostile file cannot stall the program.
    CachedProfileFile(std::string path, size_t maxBytes, FileAccess access);

    const std::string& path() const { return path_; }

    // The file's text as it is on disk now, parsed; empty when it is absent or cannot be read.
    // The file is read again only when it changed on disk since it was last read or written.
    // The reference holds until the next call.
    const ProfileIndex& current();

    // Stores the text `edit` makes of the current one, replacing the file as profileWriteString
    // does; false, with the file untouched, when it may not be read or written.
    bool edit(const std::function<std::string(std::string_view)>& edit);

    // Forgets the kept text, so that the next lookup reads the file whatever its time stamps say
    // (they are coarse: a same-sized rewrite within a clock tick keeps them).
    void forget();

    // How many times the file's bytes were read from disk.
    uint64_t diskReads() const { return diskReads_; }

private:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        int64_t modifiedNs = 0;
        int64_t changedNs = 0;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> stampOf(const std::string& target);
    // Reads the file again unless the kept text is its current content; false when unreadable.
    bool refresh(const std::string& target);
    void keep(std::string text, std::optional<Stamp> stamp);

    std::string path_;
    size_t maxBytes_;
    FileAccess access_;
    std::unique_ptr<ProfileIndex> kept_ = std::make_unique<ProfileIndex>();
    std::optional<Stamp> keptStamp_;  // the file the kept text came from; unset when none
    uint64_t diskReads_ = 0;
};

}  // namespace lumbra::platform
