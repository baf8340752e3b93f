#include "plugins/virtualdrive/fault_settings.h"

#include <charconv>

namespace lumbra::virtualdrive {
namespace {

// Large enough for any test; small enough that nothing overflows when multiplied out.
constexpr uint64_t kMaxJitterSamples = 1'000'000;
constexpr uint64_t kMaxDelayMs = 600'000;
constexpr uint64_t kMaxReadOffset = 1'000'000;

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::optional<uint64_t> parseNumber(std::string_view text, uint64_t max) {
    text = trim(text);
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max) {
        return std::nullopt;
    }
    return value;
}

bool parseMethods(std::string_view text, ReadMethodSet& into) {
    ReadMethodSet methods;
    while (true) {
        const size_t slash = text.find('/');
        const auto method = parseNumber(text.substr(0, slash), kReadMethodCount);
        if (!method || *method == 0) return false;
        methods.set(*method);
        if (slash == std::string_view::npos) break;
        text.remove_prefix(slash + 1);
    }
    into |= methods;
    return true;
}

bool parseReadError(std::string_view text, std::vector<ReadErrorFault>& into) {
    const size_t colon = text.find(':');
    const auto frame = parseNumber(text.substr(0, colon), UINT32_MAX);
    if (!frame) return false;
    ReadErrorFault fault{uint32_t(*frame), std::nullopt};
    if (colon != std::string_view::npos) {
        const auto count = parseNumber(text.substr(colon + 1), UINT32_MAX);
        if (!count || *count == 0) return false;
        fault.count = uint32_t(*count);
    }
    into.push_back(fault);
    return true;
}

bool parseReadOffset(std::string_view text, int32_t& into) {
    text = trim(text);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (negative || text.front() == '+')) text.remove_prefix(1);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) return false;
    const auto magnitude = parseNumber(text, kMaxReadOffset);
    if (!magnitude) return false;
    into = negative ? -int32_t(*magnitude) : int32_t(*magnitude);
    return true;
}

template <typename Field>
bool assignNumber(std::string_view text, uint64_t max, Field& field) {
    const auto number = parseNumber(text, max);
    if (number) field = Field(*number);
    return number.has_value();
}

bool applyItem(std::string_view key, std::optional<std::string_view> value, FaultSettings& out) {
    if (key == "nodisc" && !value) {
        out.noDisc = true;
        return true;
    }
    if (key == "cddaonly" && !value) {
        out.cddaSectorTypeOnly = true;
        return true;
    }
    if (!value) return false;
    if (key == "readerror") return parseReadError(*value, out.readErrors);
    if (key == "reject") return parseMethods(*value, out.rejected);
    if (key == "untouched") return parseMethods(*value, out.untouched);
    if (key == "jitter") return assignNumber(*value, kMaxJitterSamples, out.jitterSamples);
    if (key == "seed") return assignNumber(*value, UINT64_MAX, out.seed);
    if (key == "delay") return assignNumber(*value, kMaxDelayMs, out.delay);
    if (key == "signallag") return assignNumber(*value, kMaxDelayMs, out.signalLag);
    if (key == "offset") return parseReadOffset(*value, out.readOffset);
    return false;
}

}  // namespace

FaultSettings parseFaultSettings(std::string_view text) {
    FaultSettings settings;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view item = trim(text.substr(0, comma));
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
        if (item.empty()) continue;
        const size_t equals = item.find('=');
        const std::string_view key = trim(item.substr(0, equals));
        std::optional<std::string_view> value;
        if (equals != std::string_view::npos) value = item.substr(equals + 1);
        if (!applyItem(key, value, settings)) settings.ignoredItems.emplace_back(item);
    }
    return settings;
}

}  // namespace lumbra::virtualdrive
