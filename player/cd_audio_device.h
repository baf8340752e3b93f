// The CD-audio device of one drive: track lengths and positions in TMSF, play from/to with an
// end notice, pause, stop and the tray door. It plays digitally: frames are read through the CD
// access layer, with a handle of their own for each read so the drive stays free for others
// between reads, and handed to an audio output.
//
// Every member is called on one thread; only the output pulls samples on its own.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "cdaccess/disc_toc.h"
#include "cdaccess/shared_cd_state.h"
#include "player/audio_output.h"
#include "player/playback_stream.h"
#include "player/tmsf.h"

namespace lumbra {

enum class TimeFormat { Tmsf, Frames };
enum class DeviceMode { Stopped, Playing, Paused };

class CdAudioDevice {
public:
    // Opens the device of the drive `request` addresses, with the output `output`. Null when
    // there is no output (no audio device) or the drive cannot be opened. A drive without a disc
    // opens: its door still moves.
    static std::unique_ptr<CdAudioDevice> open(const OpenDriveRequest& request,
                                               std::unique_ptr<AudioOutput> output);
    CdAudioDevice(const CdAudioDevice&) = delete;
    CdAudioDevice& operator=(const CdAudioDevice&) = delete;
    // Stops playback; no read is under way once it returns.
    ~CdAudioDevice();

    // Only TMSF is spoken: false for any other format.
    bool setTimeFormat(TimeFormat format);
    // The length of an audio track of the disc, or nullopt (no disc, no such track).
    std::optional<Msf> trackLength(int track);
    // Where playback is, or would continue after a pause; nullopt without a disc.
    std::optional<Tmsf> position();
    // Plays from `from` to `to` (a time at or beyond a track's length means its end). With
    // `notify`, it runs on the output's thread when the output has taken the last sample.
    // False, with nothing changed, when either end names no audio track or to is not after from.
    bool play(const Tmsf& from, const Tmsf& to, std::function<void()> notify = {});
    // False when nothing plays.
    bool pause();
    // Stops playback and its reads at once.
    bool stop();
    // Opens or closes the tray; false when the drive refuses.
    bool setDoor(bool open);
    DeviceMode mode() const { return mode_; }

private:
    CdAudioDevice(const OpenDriveRequest& request, std::unique_ptr<AudioOutput> output);
    const TocBuffer* toc();
    std::optional<int32_t> frameOf(const Tmsf& time);
    bool readFrames(int32_t first, int32_t count, std::span<uint8_t> out) const;

    const OpenDriveRequest request_;
    std::optional<TocBuffer> toc_;  // read when first needed, forgotten when the door moves
    PlaybackStream stream_;
    // After the stream, so it goes first and never pulls from a stream that has gone.
    std::unique_ptr<AudioOutput> output_;
    DeviceMode mode_ = DeviceMode::Stopped;
};

}  // namespace lumbra
