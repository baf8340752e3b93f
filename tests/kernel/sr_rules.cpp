#include "kernel/sr_rules.h"

#include <charconv>
#include <optional>

namespace lumbra::test {
namespace {

std::optional<unsigned> number(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return {};
    return value;
}

bool applySwitch(std::string_view key, SrRules& rules) {
    bool* flag = key == "user"        ? &rules.commandFilter
                 : key == "locked"    ? &rules.doorLocked
                 : key == "lockheld"  ? &rules.lockHeld
                 : key == "reset"     ? &rules.resetPending
                 : key == "recovered" ? &rules.recoveredErrors
                 : key == "short"     ? &rules.shortReads
                                      : nullptr;
    if (flag) *flag = true;
    if (key == "lockheld") rules.doorLocked = true;
    return flag != nullptr;
}

bool applyValue(std::string_view key, std::string_view value, SrRules& rules) {
    if (key == "access") {
        if (value != "ro" && value != "none") return false;
        rules.access = value == "ro" ? NodeAccess::ReadOnly : NodeAccess::None;
        return true;
    }
    const auto n = number(value);
    if (!n) return false;
    if (key == "host" && *n < 256)
        rules.firstHost = *n;
    else if (key == "maxkb" && *n > 0 && *n <= 4096)
        rules.maxTransferBytes = *n * 1024;
    else if (key == "spinup")
        rules.spinUpSeconds = *n;
    else
        return false;
    return true;
}

}  // namespace

SrRules parseSrRules(std::string_view text) {
    SrRules rules;
    while (!text.empty()) {
        const size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
        if (item.empty()) continue;
        const size_t equals = item.find('=');
        const bool known = equals == std::string_view::npos
                               ? applySwitch(item, rules)
                               : applyValue(item.substr(0, equals), item.substr(equals + 1), rules);
        if (!known) rules.ignoredItems.emplace_back(item);
    }
    return rules;
}

}  // namespace lumbra::test
