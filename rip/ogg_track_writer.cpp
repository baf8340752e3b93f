#include "rip/ogg_track_writer.h"

#include <cstdlib>
#include <ctime>

#include "app/encoder_settings.h"
#include "rip/rip_messages.h"
#include "rip/track_status.h"
#include "rip/track_writing.h"

namespace lumbra {
namespace {

// Seeded with the time in seconds, so two tracks started in the same second share a serial;
// each is a stream of its own file, where that does no harm.
int drawStreamSerial() {
    std::srand(unsigned(std::time(nullptr)));
    return std::rand() % 32768;
}

}  // namespace

std::unique_ptr<VorbisEncoder> setUpVorbisEncoder(const RipSession& session, TrackEntry& track,
                                                  const std::string& outputPath) {
    const VorbisSetUp setUp = vorbisSetUpOf(oggFromSlots(track.encoderSettings));
    std::unique_ptr<VorbisEncoder> encoder;
    if (!hasContradictoryBounds(setUp)) {
        encoder = VorbisEncoder::create(setUp, vorbisCommentsFor(track.title, session.disc));
    }
    if (!encoder) {
        const std::string text = rip_messages::kOggSettingsRefused + describeVorbisSetUp(setUp);
        showRipError(session, withPath(text.c_str(), outputPath));
        endTrack(session, track, kTrackFailed);
    }
    return encoder;
}

OggTrackWriter::OggTrackWriter(const RipSession& session, TrackEntry& track, VorbisEncoder& encoder,
                               OutputFile& file)
    : session_(session),
      track_(track),
      encoder_(encoder),
      file_(file),
      converter_({encoder.sampleRate(), encoder.channels(), 16}) {}

bool OggTrackWriter::start() {
    encoder_.writeHeaders(drawStreamSerial());
    return writePages();
}

bool OggTrackWriter::feed(std::span<const uint8_t> cdAudio) {
    // CD audio needs no conversion, and copying a whole disc costs more than the check.
    const bool asIs = converter_.target() == kCdAudioFormat;
    const auto converted = asIs ? std::vector<uint8_t>() : converter_.convert(cdAudio);
    if (stopped()) return false;
    encoder_.encode(asIs ? cdAudio : std::span<const uint8_t>(converted));
    return writePages();
}

bool OggTrackWriter::finish() {
    const auto tail = converter_.finish();
    if (stopped()) return false;
    encoder_.encode(tail);
    encoder_.finish();
    return writePages();
}

bool OggTrackWriter::stopped() {
    if (session_.flags.ripRunning) return false;
    track_.status = kTrackCancelled;
    return true;
}

bool OggTrackWriter::writePages() {
    file_.write(encoder_.pages());
    encoder_.clearPages();
    if (!file_.failed()) return true;
    failOnWriteError(session_, track_, file_.path());
    return false;
}

}  // namespace lumbra
