// The main window's CD player: play, pause and resume, stop, the tray, the position clock and
// the position slider, over the CD-audio device of the chosen drive. Every command does nothing
// while a rip runs. Device failures are silent: the state stays as it was.
#pragma once

#include <memory>
#include <string>

#include "app/disc_session.h"
#include "player/audio_output.h"
#include "player/cd_audio_device.h"

namespace lumbra {

inline constexpr int kPlayerTimerId = 32796;
inline constexpr int kPlayerTimerPeriodMs = 1000;

namespace player_status {
inline constexpr const char* kStarting = "正在播放..";
inline constexpr const char* kNoSoundOutput = "没有可用的声音输出设备";
}  // namespace player_status

// The controls the player drives: the status line it shares with the window, the position
// slider (0 to 100) and the position clock (timer 32796, 1,000 ms).
class PlayerDisplay {
public:
    virtual ~PlayerDisplay() = default;
    virtual void showPlayerStatus(const std::string& text) = 0;
    // The window's own status text again.
    virtual void showIdleStatus() = 0;
    virtual void setPosition(int percent) = 0;
    virtual void runPlayerTimer(bool running) = 0;
};

class CdPlayer : public PlaybackControl {
public:
    // `session`, `display` and the outputs the factory makes must outlive the player.
    CdPlayer(DiscSession& session, PlayerDisplay& display, AudioOutputFactory outputs);

    // Play button and menu: resumes when paused, else (re)starts the track of the first
    // selected row (-1: none, nothing happens).
    void play(int firstSelectedRow);
    void togglePause(int firstSelectedRow);
    void stop();
    void toggleTray();
    void onPlayerTimer();
    // The user dragged the slider to `percent`.
    void onSliderDrag(int percent);

    bool deviceOpen() const { return device_ != nullptr; }
    bool paused() const { return paused_; }
    int track() const { return track_; }
    int elapsed() const { return elapsed_; }

    void stopPlayback() override { stop(); }
    void openTray() override { moveTray(true); }

private:
    const DriveEntry* chosenDrive() const;
    bool openDevice(const DriveEntry& drive);
    void moveTray(bool open);
    void resume();
    void showClock(bool playing, int totalSeconds);

    DiscSession& session_;
    PlayerDisplay& display_;
    const AudioOutputFactory outputs_;
    std::unique_ptr<CdAudioDevice> device_;
    bool paused_ = false;
    bool noSoundOutput_ = false;  // the last open found no sound output to play through
    int track_ = 1;
    Msf length_;
    int elapsed_ = 0;
    int position_ = 0;
    bool doorOpen_ = false;  // what the last door command did, for the whole run
};

}  // namespace lumbra
