#include "plugins/virtualdrive/cue_sheet_loader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"
#include "plugins/virtualdrive/cue_text_scan.h"
#include "plugins/virtualdrive/image_layout.h"
#include "plugins/virtualdrive/libcue_parse.h"
#include "plugins/virtualdrive/wave_file.h"

namespace lumbra::virtualdrive {
namespace {

// Sheets are a few kilobytes; anything this large is not one.
constexpr size_t kMaxSheetBytes = 1 << 20;

struct OpenedFile {
    platform::UniqueFd fd;
    int64_t dataOffset = 0;
    int64_t dataLength = 0;
};

std::string prepareText(std::string text) {
    text.resize(std::min(text.find('\0'), text.size()));
    if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
    return text;
}

// The sheet's text as the program reads all text: UTF-8 when it is, else from GB18030, in which
// sheets of Chinese rips made on Windows are saved. `decoded` tells which.
std::string sheetText(std::string raw, bool* decoded) {
    std::string text = prepareText(std::move(raw));
    *decoded = !platform::isValidUtf8(text);
    return *decoded ? platform::gb18030ToUtf8(text) : text;
}

// Sheets written on Windows separate folders with backslashes.
std::filesystem::path resolve(const std::filesystem::path& folder, std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::filesystem::path path(name);
    return path.is_absolute() ? path : folder / path;
}

// A file named by a decoded sheet is looked for under its UTF-8 name first, then under the
// name's bytes as the sheet had them, where a copy from Windows may have left it.
platform::UniqueFd openNamed(const std::filesystem::path& folder, const std::string& name,
                             bool sheetDecoded) {
    // Non-blocking, so that a FIFO named by the sheet cannot hang the open.
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
    platform::UniqueFd fd(open(resolve(folder, name).c_str(), flags));
    if (fd || !sheetDecoded || errno != ENOENT) return fd;
    return platform::UniqueFd(open(resolve(folder, platform::utf8ToGbk(name)).c_str(), flags));
}

std::string declaredType(const CueTextFacts& facts, const std::string& name, int fd) {
    if (const auto it = facts.fileTypes.find(name); it != facts.fileTypes.end()) return it->second;
    // libcue's reading of an odd quoted name may differ from ours; the content then decides.
    char magic[4] = {};
    return pread(fd, magic, 4, 0) == 4 && std::equal(magic, magic + 4, "RIFF") ? "WAVE" : "BINARY";
}

std::variant<OpenedFile, std::string> openImageFile(const std::filesystem::path& folder,
                                                    const std::string& name,
                                                    const CueTextFacts& facts, bool sheetDecoded) {
    const std::string prefix = "file " + name;
    OpenedFile file{openNamed(folder, name, sheetDecoded)};
    struct stat info {};
    if (!file.fd || fstat(file.fd.get(), &info) != 0) return prefix + " is missing";
    if (!S_ISREG(info.st_mode)) return prefix + " is not a regular file";
    const std::string type = declaredType(facts, name, file.fd.get());
    if (type == "BINARY") {
        file.dataLength = info.st_size;
    } else if (type == "WAVE") {
        auto wave = findWaveData(file.fd.get(), info.st_size);
        if (auto* problem = std::get_if<std::string>(&wave)) return prefix + ": " + *problem;
        file.dataOffset = std::get<WaveData>(wave).offset;
        file.dataLength = std::get<WaveData>(wave).length;
    } else {
        return prefix + " has the unsupported type \"" + type + "\"";
    }
    return file;
}

void markPregapsInFileBefore(std::vector<CueFile>& files, const CueTextFacts& facts) {
    for (CueFile& file : files) {
        for (CueTrack& track : file.tracks) {
            track.pregapInFileBefore = facts.pregapInFileBefore.contains(track.number);
        }
    }
}

std::unique_ptr<Disc> makeDisc(ImageLayout layout, std::vector<platform::UniqueFd> fds) {
    auto disc = std::make_unique<Disc>();
    disc->tracks = std::move(layout.tracks);
    disc->leadOut = layout.leadOut;
    disc->unreadable = std::move(layout.unreadable);
    disc->audio = std::make_unique<ImageAudio>(std::move(fds), std::move(layout.extents));
    return disc;
}

std::variant<std::unique_ptr<Disc>, std::string> buildDisc(const std::filesystem::path& folder,
                                                           std::vector<CueFile> files,
                                                           const CueTextFacts& facts,
                                                           bool sheetDecoded) {
    std::vector<platform::UniqueFd> fds;
    for (CueFile& file : files) {
        for (CueTrack& track : file.tracks) {
            track.startsSession = track.number == facts.secondSessionTrack;
        }
        auto opened = openImageFile(folder, file.name, facts, sheetDecoded);
        if (auto* problem = std::get_if<std::string>(&opened)) return *problem;
        auto& ok = std::get<OpenedFile>(opened);
        file.dataOffset = ok.dataOffset;
        file.dataLength = ok.dataLength;
        fds.push_back(std::move(ok.fd));
    }
    auto layout = layOutImage(files);
    if (auto* problem = std::get_if<std::string>(&layout)) return *problem;
    return makeDisc(std::move(std::get<ImageLayout>(layout)), std::move(fds));
}

}  // namespace

std::variant<std::unique_ptr<Disc>, std::string> loadCueSheet(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return std::string("it cannot be read");
    if (size > kMaxSheetBytes) return std::string("it is too large for a CUE sheet");
    auto raw = platform::readWholeFile(path);
    if (!raw) return std::string("it cannot be read");
    bool decoded = false;
    const std::string text = sheetText(std::move(*raw), &decoded);

    auto facts = scanCueText(text);
    if (auto* problem = std::get_if<std::string>(&facts)) return *problem;
    auto files = parseCueFiles(text);
    if (auto* problem = std::get_if<std::string>(&files)) return *problem;
    auto& parsed = std::get<std::vector<CueFile>>(files);
    markPregapsInFileBefore(parsed, std::get<CueTextFacts>(facts));
    auto disc = buildDisc(std::filesystem::path(path).parent_path(), std::move(parsed),
                          std::get<CueTextFacts>(facts), decoded);
    if (auto* built = std::get_if<std::unique_ptr<Disc>>(&disc))
        (*built)->texts = parseCueTexts(text);
    return disc;
}

}  // namespace lumbra::virtualdrive
