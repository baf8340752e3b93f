// What both Ogg writers share: setting up the encoder for a track, and feeding it CD audio while
// its pages go to the output file, watching the job's stop request and the file's write errors.
#pragma once

#include <memory>
#include <span>
#include <string>

#include "rip/output_file.h"
#include "rip/rip_context.h"
#include "rip/sample_conversion.h"
#include "rip/vorbis_encoder.h"

namespace lumbra {

// The encoder for the track's settings and comments. When libvorbis refuses the settings (or
// they contradict themselves) it shows an error box naming them, ends the track Failed and
// returns null; nothing has been written then.
std::unique_ptr<VorbisEncoder> setUpVorbisEncoder(const RipSession& session, TrackEntry& track,
                                                  const std::string& outputPath);

class OggTrackWriter {
public:
    OggTrackWriter(const RipSession& session, TrackEntry& track, VorbisEncoder& encoder,
                   OutputFile& file);

    // Each step returns false once the track has ended: Cancelled when the job was stopped
    // (checked before the samples are encoded), Failed after the box of a write error.

    // Draws the stream's serial number and writes the header pages.
    bool start();
    // Converts CD audio to the encoder's format and encodes it.
    bool feed(std::span<const uint8_t> cdAudio);
    // Encodes what the sample converter still holds and ends the stream.
    bool finish();

private:
    bool stopped();
    bool writePages();

    const RipSession& session_;
    TrackEntry& track_;
    VorbisEncoder& encoder_;
    OutputFile& file_;
    SampleConverter converter_;
};

}  // namespace lumbra
