// INI text as the private-profile functions see it, kept apart from file I/O so that hand-edited
// and hostile files can be replayed in tests and fuzzers.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace lumbra::platform {

// The value of the first `key` in the first section named `section` (both compared without regard
// to ASCII case), with blanks around it removed; nullopt when either is missing.
std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key);

// A text parsed once for any number of lookups, each answered as findProfileValue answers it.
class ProfileIndex {
public:
    ProfileIndex() = default;
    explicit ProfileIndex(std::string text);
    ProfileIndex(const ProfileIndex&) = delete;
    ProfileIndex& operator=(const ProfileIndex&) = delete;

    const std::string& text() const { return text_; }
    std::optional<std::string_view> find(std::string_view section, std::string_view key) const;

private:
    std::string text_;
    // Keyed by section and key name in lower case, joined by a line end that neither can hold.
    std::unordered_map<std::string, std::string_view> values_;
};

// The text with `key` set to `value` (line breaks in the value become blanks so a value can never
// add lines), creating section or key as needed; every other line stays as it was.
std::string setProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

struct ProfileEntry {
    std::string_view key;
    std::string_view value;
};

// The text as setProfileValue would leave it after setting each entry in turn, in one pass over
// the text however many entries there are.
std::string setProfileValues(std::string_view text, std::string_view section,
                             std::span<const ProfileEntry> entries);

// The lines of the first section named `section`, its header included: all that lookups in that
// section read. Empty when there is no such section.
std::string_view profileSectionText(std::string_view text, std::string_view section);

// The text without any line of `key` in that section.
std::string removeProfileKey(std::string_view text, std::string_view section, std::string_view key);

// The text without every section named `section`, header and lines alike.
std::string removeProfileSection(std::string_view text, std::string_view section);

// Leading digits after an optional sign, as the platform's integer read does: "12abc" is 12,
// "abc" is 0; values beyond the int range are held at its ends.
int parseProfileInt(std::string_view text);

}  // namespace lumbra::platform
