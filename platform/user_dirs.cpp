#include "platform/user_dirs.h"

namespace lumbra::platform {
namespace {

constexpr std::string_view kHomePrefix = "$HOME";

// The path of one `KEY="value"` line, or none when the line is not a well-formed one for `key`.
std::optional<std::string> valueOf(std::string_view line, std::string_view key,
                                   std::string_view home) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    if (!line.starts_with(key) || line.substr(key.size()).substr(0, 2) != "=\"") return {};
    std::string_view value = line.substr(key.size() + 2);
    const size_t close = value.rfind('"');
    if (close == std::string_view::npos) return {};
    value = value.substr(0, close);
    std::string path;
    if (value.starts_with(kHomePrefix) &&
        (value.size() == kHomePrefix.size() || value[kHomePrefix.size()] == '/')) {
        path = std::string(home) + std::string(value.substr(kHomePrefix.size()));
    } else if (value.starts_with('/')) {
        path = std::string(value);
    } else {
        return {};
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path == home || path.find('$') != std::string::npos) return {};
    return path;
}

}  // namespace

std::optional<std::string> userDirFromText(std::string_view text, std::string_view key,
                                           std::string_view home) {
    std::optional<std::string> found;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        // As in a shell, the last assignment counts.
        if (auto value = valueOf(line, key, home)) found = std::move(value);
    }
    return found;
}

}  // namespace lumbra::platform
