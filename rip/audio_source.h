// Where an encoder takes a track's CD audio from when it does not read the drive itself: the
// temporary file that the CD phase filled (temporary_pcm.h), or the audio that the job's reader
// hands over to an encoder thread while it reads (overlapped_track.h). The writer's encode loop
// (track_writer.h) is the same for both; each source shows on the track's row how far the encoder
// has got, as its route measures it.
#pragma once

#include <cstdint>
#include <vector>

namespace lumbra {

class AudioSource {
public:
    // What next() found.
    enum class Next {
        Audio,       // the next piece
        End,         // every piece has been taken and the track's audio is whole
        Short,       // the audio stopped short of the track's end (stop, read error)
        Unreadable,  // stored audio could not be read back
    };

    virtual ~AudioSource() = default;

    // Waits for the next piece, which replaces `piece`. Called again only after the piece before
    // has been encoded.
    virtual Next next(std::vector<uint8_t>& piece) = 0;
    // The encoder takes no more: what the source holds goes at once, while the file settles.
    virtual void release() = 0;
};

// The encoder's progress is shown before the first piece and then every fifth, as the reads'.
class ProgressTurns {
public:
    bool due() { return pieces_++ % kEvery == 0; }

private:
    static constexpr int kEvery = 5;
    int pieces_ = 0;
};

}  // namespace lumbra
