#include "app/drive_choice.h"

#include <string>

#include "platform/file_entries.h"

namespace lumbra {
namespace {

constexpr std::string_view kCddaScheme = "cdda://";

std::string devicePathOf(std::string_view device) {
    if (device.starts_with(kCddaScheme)) {
        device.remove_prefix(kCddaScheme.size());
        while (device.ends_with('/') && device.size() > 1) device.remove_suffix(1);
    }
    const std::string path(device);
    if (path.starts_with('/')) return platform::resolvedPath(path);
    // A bare kernel name, as in cdda://sr0, lives in /dev.
    if (path.starts_with("sr")) return platform::resolvedPath("/dev/" + path);
    return path;
}

}  // namespace

std::optional<int> driveIndexForDevice(std::span<const DriveEntry> drives,
                                       std::string_view device) {
    if (device.empty()) return std::nullopt;
    const std::string wanted = devicePathOf(device);
    for (size_t i = 0; i < drives.size(); ++i) {
        const std::string& letter = drives[i].letter;
        if (letter.empty()) continue;
        if (letter == wanted || letter == device || platform::resolvedPath(letter) == wanted)
            return int(i);
    }
    return std::nullopt;
}

}  // namespace lumbra
