#include "platform/profile_text.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <unordered_set>
#include <utility>
#include <vector>

namespace lumbra::platform {
namespace {

enum class LineKind { Other, Section, Key };

struct ProfileLine {
    std::string_view raw;  // including its line end
    LineKind kind = LineKind::Other;
    std::string_view name;
    std::string_view value;
};

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

ProfileLine classify(std::string_view raw) {
    ProfileLine line;
    line.raw = raw;
    std::string_view body = trim(raw.substr(0, raw.find('\n')));
    if (body.empty() || body.front() == ';' || body.front() == '#') return line;
    if (body.front() == '[') {
        const size_t close = body.find(']');
        if (close != std::string_view::npos) {
            line.kind = LineKind::Section;
            line.name = trim(body.substr(1, close - 1));
        }
        return line;
    }
    const size_t eq = body.find('=');
    if (eq != std::string_view::npos) {
        line.kind = LineKind::Key;
        line.name = trim(body.substr(0, eq));
        line.value = trim(body.substr(eq + 1));
    }
    return line;
}

std::vector<ProfileLine> splitLines(std::string_view text) {
    if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
    std::vector<ProfileLine> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const size_t len = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(classify(text.substr(0, len)));
        text.remove_prefix(len);
    }
    return lines;
}

struct SectionSpan {
    size_t header;  // index of the header line
    size_t end;     // one past the section's last line
};

std::optional<SectionSpan> findSection(const std::vector<ProfileLine>& lines,
                                       std::string_view section, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i) {
        if (lines[i].kind != LineKind::Section || !equalsNoCase(lines[i].name, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != LineKind::Section) ++end;
        return SectionSpan{i, end};
    }
    return std::nullopt;
}

// Keeps a leading byte-order mark so that hand-made files stay as their editor saved them.
std::string prefixOf(std::string_view text) {
    return text.starts_with(kUtf8Bom) ? std::string(kUtf8Bom) : std::string();
}

std::string_view lineEndOf(std::string_view text) {
    const size_t nl = text.find('\n');
    return nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r' ? "\r\n" : "\n";
}

std::string join(std::string prefix, const std::vector<ProfileLine>& lines) {
    for (const auto& l : lines) prefix += l.raw;
    return prefix;
}

std::string singleLine(std::string_view value) {
    std::string out(value);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return out;
}

void ensureEndsWithLineEnd(std::string& text, std::string_view eol) {
    if (!text.empty() && text.back() != '\n') text += eol;
}

std::string setValueIn(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value, std::string_view eol) {
    const std::string entry = std::string(key) + "=" + singleLine(value) + std::string(eol);
    auto lines = splitLines(text);
    const auto span = findSection(lines, section);
    if (!span) {
        std::string out = join(prefixOf(text), lines);
        ensureEndsWithLineEnd(out, eol);
        out.append("[").append(section).append("]").append(eol).append(entry);
        return out;
    }
    size_t insertAt = span->header + 1;
    for (size_t i = span->header + 1; i < span->end; ++i) {
        if (lines[i].kind != LineKind::Key) continue;
        if (equalsNoCase(lines[i].name, key)) {
            // The key keeps the spelling the file already had.
            const std::string replaced =
                std::string(lines[i].name) + "=" + singleLine(value) + std::string(eol);
            lines[i].raw = replaced;
            return join(prefixOf(text), lines);
        }
        insertAt = i + 1;
    }
    std::string out = prefixOf(text);
    for (size_t i = 0; i < insertAt; ++i) out += lines[i].raw;
    ensureEndsWithLineEnd(out, eol);
    out += entry;
    for (size_t i = insertAt; i < lines.size(); ++i) out += lines[i].raw;
    return out;
}

// The byte range of the first section named `section`, header included; an empty range at the
// end of the text when there is none.
std::pair<size_t, size_t> sectionBounds(std::string_view text, std::string_view section) {
    const auto lines = splitLines(text);
    const auto span = findSection(lines, section);
    if (!span) return {text.size(), text.size()};
    const auto offsetOf = [&](size_t line) {
        return line < lines.size() ? size_t(lines[line].raw.data() - text.data()) : text.size();
    };
    return {offsetOf(span->header), offsetOf(span->end)};
}

std::string indexKey(std::string_view section, std::string_view key) {
    std::string joined;
    joined.reserve(section.size() + key.size() + 1);
    joined.append(section).append("\n").append(key);
    for (char& c : joined) {
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    }
    return joined;
}

}  // namespace

ProfileIndex::ProfileIndex(std::string text) : text_(std::move(text)) {
    // Lookups see only the first section of a name and the first key of a name in it.
    std::unordered_set<std::string> sectionsSeen;
    std::optional<std::string_view> section;  // unset before the first header and in repeats
    for (const ProfileLine& line : splitLines(text_)) {
        if (line.kind == LineKind::Section) {
            section = line.name;
            if (!sectionsSeen.insert(indexKey(line.name, {})).second) section.reset();
        } else if (line.kind == LineKind::Key && section) {
            values_.emplace(indexKey(*section, line.name), line.value);
        }
    }
}

std::optional<std::string_view> ProfileIndex::find(std::string_view section,
                                                   std::string_view key) const {
    const auto found = values_.find(indexKey(section, key));
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::optional<std::string_view> findProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key) {
    const auto lines = splitLines(text);
    const auto span = findSection(lines, section);
    if (!span) return std::nullopt;
    for (size_t i = span->header + 1; i < span->end; ++i) {
        if (lines[i].kind == LineKind::Key && equalsNoCase(lines[i].name, key))
            return lines[i].value;
    }
    return std::nullopt;
}

std::string setProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    return setValueIn(text, section, key, value, lineEndOf(text));
}

std::string setProfileValues(std::string_view text, std::string_view section,
                             std::span<const ProfileEntry> entries) {
    if (text.find('\n') == std::string_view::npos) {
        // The first write gives the text the line end later writes follow; a text of one line is
        // short enough to take the writes one by one.
        std::string out(text);
        for (const ProfileEntry& e : entries) out = setProfileValue(out, section, e.key, e.value);
        return out;
    }
    // Only the section's own lines change, so the entries are set in those alone; a missing
    // section is built on its own and goes at the end, where the first entry would put it.
    const std::string_view eol = lineEndOf(text);
    const auto [from, to] = sectionBounds(text, section);
    std::string edited(text.substr(from, to - from));
    for (const ProfileEntry& entry : entries) {
        edited = setValueIn(edited, section, entry.key, entry.value, eol);
    }
    std::string out(text.substr(0, from));
    if (from == to) ensureEndsWithLineEnd(out, eol);
    return out + edited + std::string(text.substr(to));
}

std::string_view profileSectionText(std::string_view text, std::string_view section) {
    const auto [from, to] = sectionBounds(text, section);
    return text.substr(from, to - from);
}

std::string removeProfileKey(std::string_view text, std::string_view section,
                             std::string_view key) {
    auto lines = splitLines(text);
    for (auto span = findSection(lines, section); span;
         span = findSection(lines, section, span->end)) {
        for (size_t i = span->header + 1; i < span->end; ++i) {
            if (lines[i].kind == LineKind::Key && equalsNoCase(lines[i].name, key))
                lines[i].raw = {};
        }
    }
    return join(prefixOf(text), lines);
}

std::string removeProfileSection(std::string_view text, std::string_view section) {
    auto lines = splitLines(text);
    for (auto span = findSection(lines, section); span;
         span = findSection(lines, section, span->end)) {
        for (size_t i = span->header; i < span->end; ++i) lines[i].raw = {};
    }
    return join(prefixOf(text), lines);
}

int parseProfileInt(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t(INT_MAX) + 1);
    }
    if (negative) value = -value;
    return int(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace lumbra::platform
