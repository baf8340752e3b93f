#include "plugins/virtualdrive/cue_text_scan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <vector>

namespace lumbra::virtualdrive {
namespace {

constexpr std::array<std::string_view, 7> kKnownModes{
    "AUDIO", "MODE1/2048", "MODE1/2352", "MODE2/2048", "MODE2/2332", "MODE2/2336", "MODE2/2352"};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string upper(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return out;
}

// Splits a line into words; a word in double quotes may hold blanks.
std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i == line.size()) break;
        if (line[i] == '"') {
            const size_t close = line.find('"', i + 1);
            const size_t end = close == std::string_view::npos ? line.size() : close;
            words.push_back(line.substr(i + 1, end - i - 1));
            i = end + 1;
        } else {
            const size_t start = i;
            while (i < line.size() && !isBlank(line[i])) ++i;
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::optional<int> number(std::string_view digits) {
    if (digits.empty() || digits.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool isValidTime(std::string_view time) {
    const size_t first = time.find(':');
    if (first == std::string_view::npos) return false;
    const size_t second = time.find(':', first + 1);
    if (second == std::string_view::npos) return false;
    const auto minutes = number(time.substr(0, first));
    const auto seconds = number(time.substr(first + 1, second - first - 1));
    const auto frames = number(time.substr(second + 1));
    return minutes && seconds && frames && *minutes <= 99 && *seconds < 60 && *frames < 75;
}

std::string where(size_t lineNumber) {
    return "line " + std::to_string(lineNumber) + ": ";
}

// Counts TRACK lines and notes where a later session begins.
struct SessionScan {
    int tracks = 0;
    bool laterSessionAhead = false;

    void see(const std::string& keyword, const std::vector<std::string_view>& words,
             CueTextFacts& facts) {
        if (keyword == "REM" && words.size() >= 3 && upper(words[1]) == "SESSION") {
            const auto session = number(words[2]);
            if (session && *session >= 2 && facts.secondSessionTrack == 0) laterSessionAhead = true;
        } else if (keyword == "TRACK") {
            ++tracks;
            if (laterSessionAhead) facts.secondSessionTrack = tracks;
            laterSessionAhead = false;
        }
    }
};

// Where the scan is: the FILE lines and TRACK lines seen so far, and the FILE of the current
// track's INDEX 00.
struct ScanPosition {
    int files = 0;
    int tracks = 0;
    int index0File = -1;
};

void noteIndex(const std::vector<std::string_view>& words, ScanPosition& at, CueTextFacts& facts) {
    const auto index = words.size() >= 3 ? number(words[1]) : std::nullopt;
    if (index == 0) at.index0File = at.files;
    if (index == 1 && at.index0File >= 0 && at.index0File != at.files) {
        facts.pregapInFileBefore.insert(at.tracks);
    }
}

std::optional<std::string> checkLine(const std::vector<std::string_view>& words, size_t lineNumber,
                                     ScanPosition& at, CueTextFacts& facts) {
    const std::string keyword = upper(words[0]);
    if (keyword == "FILE" && words.size() >= 2) {
        ++at.files;
        facts.fileTypes[std::string(words[1])] = words.size() >= 3 ? upper(words[2]) : "";
    } else if (keyword == "TRACK") {
        if (++at.tracks > kMaxCueTracks) return "it has more than 99 tracks";
        at.index0File = -1;
        const std::string mode = words.size() >= 3 ? upper(words[2]) : "";
        if (std::find(kKnownModes.begin(), kKnownModes.end(), mode) == kKnownModes.end()) {
            return where(lineNumber) + "unknown track mode \"" + mode + "\"";
        }
    } else if (keyword == "INDEX" || keyword == "PREGAP" || keyword == "POSTGAP") {
        const std::string_view time = words.size() >= 2 ? words.back() : std::string_view();
        if (!isValidTime(time)) {
            return where(lineNumber) + "bad time \"" + std::string(time) + "\"";
        }
        if (keyword == "INDEX") noteIndex(words, at, facts);
    }
    return std::nullopt;
}

}  // namespace

std::variant<CueTextFacts, std::string> scanCueText(std::string_view text) {
    CueTextFacts facts;
    SessionScan sessions;
    ScanPosition at;
    size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const size_t end = std::min(text.find('\n'), text.size());
        const auto words = wordsOf(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (words.empty()) continue;
        if (auto problem = checkLine(words, lineNumber, at, facts)) return *problem;
        sessions.see(upper(words[0]), words, facts);
    }
    return facts;
}

}  // namespace lumbra::virtualdrive
