// One Ogg Vorbis stream being encoded: libvorbis's analysis and libogg's paging behind a plain
// interface. Finished pages collect in memory until the owner takes them for the file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "rip/vorbis_setup.h"

namespace lumbra {

class VorbisEncoder {
    struct State;
    struct Key {
        explicit Key() = default;
    };

public:
    // Frames handed to libvorbis per analysis buffer.
    static constexpr int kBlockFrames = 1024;

    // The encoder for `setUp` with `comments`, or null when libvorbis refuses the set-up.
    static std::unique_ptr<VorbisEncoder> create(const VorbisSetUp& setUp,
                                                 const VorbisComments& comments);
    VorbisEncoder(Key, std::unique_ptr<State> state);  // for create() only
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;
    ~VorbisEncoder();

    int channels() const;
    int sampleRate() const;

    // Starts the logical stream `serial` with the three header packets, flushed so that the
    // audio starts on a page of its own.
    void writeHeaders(int serial);
    // Encodes interleaved 16-bit little-endian samples of channels() channels; a trailing
    // partial frame is ignored.
    void encode(std::span<const uint8_t> samples);
    // Ends the stream; the last page carries the end-of-stream flag.
    void finish();
    bool ended() const { return ended_; }

    // The bytes of the pages completed so far and not yet cleared.
    std::span<const uint8_t> pages() const { return pages_; }
    void clearPages() { pages_.clear(); }

private:
    void encodeBlock(const uint8_t* samples, int frames);
    void drain();

    std::unique_ptr<State> state_;
    std::vector<uint8_t> pages_;
    bool ended_ = false;
};

}  // namespace lumbra
