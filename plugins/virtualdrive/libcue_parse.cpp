#include "plugins/virtualdrive/libcue_parse.h"

#include <memory>
#include <mutex>

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

}  // namespace

std::variant<std::vector<CueFile>, std::string> parseCueFiles(const std::string& text) {
    // libcue's parser keeps its state in globals.
    static std::mutex parserMutex;
    std::unique_ptr<Cd, CdDeleter> cd;
    {
        std::lock_guard lock(parserMutex);
        cd.reset(cue_parse_string(text.c_str()));
    }
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
