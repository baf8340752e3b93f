// A hand-edited or damaged cdinfo.db must still give a text that fits its buffer, and a hostile
// CDDB entry must never add sections or change the track count of the one it is filed under.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/disc_info_text.h"
#include "metadata/local_disc_database.h"
#include "metadata/recent_disc_table.h"
#include "platform/profile_file.h"

namespace {

constexpr uint32_t kLocalKey = 0x1;
constexpr uint32_t kDiscId = 0x2;
constexpr int kTrackCount = 3;

// A folder for the two database files, removed when the fuzzer exits.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lumbra-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const char* name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

const ScratchFolder& scratchFolder() {
    static const ScratchFolder folder;
    return folder;
}

void readWithCapacity(const std::string& database, size_t capacity) {
    std::string text;
    const lumbra::CddbMatch match{lumbra::kLocalDatabaseCategory, "1", "", ""};
    if (lumbra::readLocalEntry(database, match, text, capacity) == 1 && text.size() >= capacity) {
        std::abort();
    }
    lumbra::DiscRecord record;
    std::vector<lumbra::TrackEntry> tracks(kTrackCount);
    lumbra::applyDiscInfoText(text, record, tracks);
}

int sectionHeaders(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    int headers = 0;
    for (std::string line; std::getline(file, line);) {
        const size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == '[') ++headers;
    }
    return headers;
}

void storeInto(const std::string& database, std::string_view entryText) {
    std::filesystem::remove(database);
    lumbra::storeLocalEntry(database, {"rock", "2", "artist", "title"}, entryText);
    if (lumbra::platform::profileReadInt(database, "1", "numtracks", -1) != kTrackCount ||
        sectionHeaders(database) != 1) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const uint32_t values[] = {150, 20000, 40000, 600};
    lumbra::rememberDisc(kLocalKey, kDiscId, kTrackCount, values);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ScratchFolder& folder = scratchFolder();
    const std::string database = folder.file("cdinfo.db");
    // Written plainly: an atomic replace would sync to disk on every run. The section is first
    // told which disc it describes, as stored entries are, so the rest of the input gets read.
    std::ofstream(database, std::ios::binary | std::ios::trunc)
        << "[1]\noffsets=150 20000 40000 600\n"
        << bytes;
    readWithCapacity(database, 32000);
    readWithCapacity(database, size);
    storeInto(folder.file("stored.db"), bytes);
    return 0;
}
