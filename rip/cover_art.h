// The album's front cover in the ripped files: embedded in each finished track's tags and saved
// once beside the tracks of every folder the job writes into. A cover that cannot be written never
// fails a track.
#pragma once

#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace lumbra {

// Embeds `image` (JPEG or PNG) as the front cover, replacing earlier pictures, in the form the
// file's format holds it: an ID3v2.3 APIC frame (MP3, its ID3v1 tag untouched), a PICTURE block
// (FLAC), a METADATA_BLOCK_PICTURE comment (Ogg Vorbis, Opus), a WM/Picture attribute (WMA). The
// format is told by the extension; WAV has no tags and is left alone. False when the file could
// not be read or saved.
bool embedCoverArt(const std::string& path, std::string_view image);

// "cover.jpg", or "cover.png" for a PNG image.
std::string coverFileName(std::string_view image);

class CoverArtWriter {
public:
    // `image` empty: the writer does nothing.
    explicit CoverArtWriter(std::string image) : image_(std::move(image)) {}

    // For a track finished at `trackPath`: embeds the cover when `tags` (the track's file has
    // tags) and saves the cover file in its folder unless this writer already did. Any thread.
    void addTo(const std::string& trackPath, bool tags);

private:
    const std::string image_;
    std::mutex mutex_;
    std::set<std::string> folders_;
};

}  // namespace lumbra
