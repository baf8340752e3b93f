// Where a settings store keeps its text: setup.ini on disk, or memory, so that tests of the rules
// over settings never touch the disk.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/cached_profile_file.h"
#include "platform/profile_text.h"

namespace lumbra {

using SettingsEdit = std::function<std::string(std::string_view)>;

class SettingsBackend {
public:
    virtual ~SettingsBackend() = default;

    // The stored text, parsed; empty when nothing is stored or it cannot be read. The reference
    // holds until the next call.
    virtual const platform::ProfileIndex& current() = 0;
    // Stores the text `edit` makes of the stored one; false when it could not be stored.
    virtual bool edit(const SettingsEdit& edit) = 0;
    // Makes the next call see the stored text as it is now, however recently it was read.
    virtual void refresh() {}
};

// A setup.ini larger than this is no settings file this program wrote; parsing it would stall
// every start for nothing.
inline constexpr size_t kMaxSettingsFileBytes = size_t(1) << 20;

// setup.ini on disk, read once and kept while it is unchanged, and owner-only after every write
// since it can hold the proxy password.
class FileSettings : public SettingsBackend {
public:
    explicit FileSettings(std::string path);

    const platform::ProfileIndex& current() override { return file_.current(); }
    bool edit(const SettingsEdit& edit) override { return file_.edit(edit); }
    void refresh() override { file_.forget(); }

    uint64_t diskReads() const { return file_.diskReads(); }

private:
    platform::CachedProfileFile file_;
};

// Settings held in memory only, starting from `text`.
class MemorySettings : public SettingsBackend {
public:
    explicit MemorySettings(std::string text = {});

    const platform::ProfileIndex& current() override { return *text_; }
    bool edit(const SettingsEdit& edit) override;

private:
    std::unique_ptr<platform::ProfileIndex> text_;
};

}  // namespace lumbra
