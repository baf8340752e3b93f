#include "plugins/virtualdrive/libcue_parse.h"

#include <memory>
#include <mutex>
#include <sstream>

#include "platform/text_encoding.h"

#if __has_include(<libcue.h>)
#include <libcue.h>
#else
#include <libcue/libcue.h>
#endif

namespace lumbra::virtualdrive {
namespace {

struct CdDeleter {
    void operator()(Cd* cd) const { cd_delete(cd); }
};

uint32_t sectorBytesOf(TrackMode mode) {
    switch (mode) {
        case MODE_AUDIO:
        case MODE_MODE1_RAW:
        case MODE_MODE2_RAW:
            return 2352;
        case MODE_MODE1:
        case MODE_MODE2_FORM1:
            return 2048;
        case MODE_MODE2:
            return 2336;
        case MODE_MODE2_FORM2:
            return 2324;
        case MODE_MODE2_FORM_MIX:
            return 2332;
    }
    return 0;
}

CueTrack describe(const Track* track, int number) {
    CueTrack out;
    out.number = number;
    out.audio = track_get_mode(track) == MODE_AUDIO;
    out.sectorBytes = sectorBytesOf(track_get_mode(track));
    out.index0 = track_get_index(track, 0);
    out.index1 = track_get_index(track, 1);
    // libcue reports an INDEX 00 pregap as a "zero pregap" too; only a PREGAP line without
    // INDEX 00 is silence that the file does not hold.
    if (out.index0 < 0) out.silenceBefore = std::max(0L, track_get_zero_pre(track));
    out.silenceAfter = std::max(0L, track_get_zero_post(track));
    return out;
}

using CdOwner = std::unique_ptr<Cd, CdDeleter>;

CdOwner parse(const std::string& text) {
    // libcue's parser keeps its state in globals.
    static std::mutex parserMutex;
    std::lock_guard lock(parserMutex);
    return CdOwner(cue_parse_string(text.c_str()));
}

// Sheets come in UTF-8 or in the code page of the machine that wrote them.
std::string textOf(const Cdtext* cdtext, Pti pti) {
    const char* value = cdtext ? cdtext_get(pti, cdtext) : nullptr;
    return value ? platform::toUtf8FromUnknown(value) : std::string();
}

TextFields fieldsOf(const Cdtext* cdtext) {
    return {textOf(cdtext, PTI_TITLE), textOf(cdtext, PTI_PERFORMER),
            textOf(cdtext, PTI_SONGWRITER)};
}

// libcue reads the CATALOG line but gives no way to ask for it, so the sheet's text is searched:
// the first line whose first word is CATALOG, its next word without quotes.
std::string catalogueLine(const std::string& text) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string keyword, value;
        if (words >> keyword >> value && keyword == "CATALOG") {
            std::erase(value, '"');
            return value;
        }
    }
    return {};
}

}  // namespace

DiscTexts parseCueTexts(const std::string& text) {
    DiscTexts texts;
    const CdOwner cd = parse(text);
    if (!cd) return texts;
    const Cdtext* discText = cd_get_cdtext(cd.get());
    texts.album = fieldsOf(discText);
    texts.catalogue = textOf(discText, PTI_UPC_ISRC);
    if (texts.catalogue.empty()) texts.catalogue = catalogueLine(text);
    for (int i = 1; i <= cd_get_ntrack(cd.get()); ++i) {
        const Track* track = cd_get_track(cd.get(), i);
        texts.tracks.push_back(fieldsOf(track ? track_get_cdtext(track) : nullptr));
        const char* isrc = track ? track_get_isrc(track) : nullptr;
        texts.isrcs.emplace_back(isrc ? isrc : "");
    }
    return texts;
}

std::variant<std::vector<CueFile>, std::string> parseCueFiles(const std::string& text) {
    const CdOwner cd = parse(text);
    if (!cd) return std::string("it is not a CUE sheet that libcue can read");
    const int count = cd_get_ntrack(cd.get());
    std::vector<CueFile> files;
    for (int i = 1; i <= count; ++i) {
        const Track* track = cd_get_track(cd.get(), i);
        const char* name = track ? track_get_filename(track) : nullptr;
        if (!name) return "track " + std::to_string(i) + " has no FILE";
        if (files.empty() || files.back().name != name) files.push_back({name, 0, 0, {}});
        files.back().tracks.push_back(describe(track, i));
    }
    return files;
}

}  // namespace lumbra::virtualdrive
