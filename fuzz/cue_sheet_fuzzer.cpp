// CUE sheets come from anywhere: every input must end in a disc or a reason, never a crash, and
// a disc that loads must have a sane table of contents and readable audio. The sheet sits in a
// folder with a BINARY file and a WAVE file so that well-formed sheets reach the layout code.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <variant>
#include <vector>

#include "cdaccess/cd_frame.h"
#include "plugins/virtualdrive/cue_sheet_loader.h"
#include "plugins/virtualdrive/toc_reply.h"

namespace {

using namespace lumbra::virtualdrive;

constexpr size_t kFrame = lumbra::kFrameBytes;

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string le(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += char(value >> (8 * i));
    return out;
}

class Workspace {
public:
    Workspace() {
        std::string pattern = (std::filesystem::temp_directory_path() / "cue-fuzz-XXXXXX").string();
        folder_ = mkdtemp(pattern.data());
        writeFile(folder_ + "/a.bin", std::string(20 * kFrame, 'a'));
        const std::string samples(12 * kFrame, 'w');
        const std::string format =
            le(1, 2) + le(2, 2) + le(44100, 4) + le(176400, 4) + le(4, 2) + le(16, 2);
        const std::string body =
            "WAVEfmt " + le(16, 4) + format + "data" + le(uint32_t(samples.size()), 4) + samples;
        writeFile(folder_ + "/b.wav", "RIFF" + le(uint32_t(body.size()), 4) + body);
    }
    ~Workspace() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string sheet() const { return folder_ + "/fuzz.cue"; }

private:
    std::string folder_;
};

void check(bool condition) {
    if (!condition) std::abort();
}

void exercise(const Disc& disc) {
    check(!disc.tracks.empty() && disc.tracks.size() <= size_t(kMaxTracks));
    check(disc.leadOut <= kMaxDiscFrames);
    for (size_t i = 0; i < disc.tracks.size(); ++i) {
        const uint32_t end = i + 1 < disc.tracks.size() ? disc.tracks[i + 1].start : disc.leadOut;
        check(disc.tracks[i].start < end);
    }
    for (bool msf : {false, true}) {
        const auto reply = buildTocReply(disc, msf, 0);
        check(std::get<std::vector<uint8_t>>(reply).size() == 4 + 8 * (disc.tracks.size() + 1));
    }
    std::vector<uint8_t> frames(3 * kFrame);
    for (int64_t frame :
         {int64_t(0), int64_t(disc.tracks.back().start), int64_t(disc.leadOut) - 2}) {
        check(disc.audio->read(frame * int64_t(kFrame) - 8, frames));
    }
}

}  // namespace

// libcue leaks its half-built sheet on a syntax error; that is not ours to fix.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libcue.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Workspace workspace;
    writeFile(workspace.sheet(), std::string(reinterpret_cast<const char*>(data), size));
    auto loaded = loadCueSheet(workspace.sheet());
    if (auto* disc = std::get_if<std::unique_ptr<Disc>>(&loaded)) exercise(**disc);
    return 0;
}
