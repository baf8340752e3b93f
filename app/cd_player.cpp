#include "app/cd_player.h"

#include <algorithm>
#include <cstdio>

#include "cdaccess/tray.h"

namespace lumbra {

CdPlayer::CdPlayer(DiscSession& session, PlayerDisplay& display, AudioOutputFactory outputs)
    : session_(session), display_(display), outputs_(std::move(outputs)) {}

const DriveEntry* CdPlayer::chosenDrive() const {
    const auto& drives = session_.drives();
    const int index = session_.settings().driveIndex;
    return index >= 0 && size_t(index) < drives.size() ? &drives[size_t(index)] : nullptr;
}

bool CdPlayer::openDevice(const DriveEntry& drive) {
    std::unique_ptr<AudioOutput> output = outputs_ ? outputs_() : nullptr;
    noSoundOutput_ = !output;
    device_ = CdAudioDevice::open(drive.openRequest, std::move(output));
    return device_ && device_->setTimeFormat(TimeFormat::Tmsf);
}

void CdPlayer::play(int firstSelectedRow) {
    if (session_.ripping()) return;
    session_.stopOffsetSearch();  // its reads and the player's must not meet at the drive
    if (device_ && !paused_) stop();
    const DriveEntry* drive = chosenDrive();
    if (!drive) return;
    if (!paused_) {
        if (firstSelectedRow < 0) return;
        track_ = firstSelectedRow + 1;
    }
    display_.showPlayerStatus(player_status::kStarting);
    if (device_) return resume();
    if (!openDevice(*drive)) {
        device_.reset();
        if (noSoundOutput_) return display_.showPlayerStatus(player_status::kNoSoundOutput);
        return display_.showIdleStatus();
    }
    const auto length = device_->trackLength(track_);
    // A track that cannot be played (a data track, a disc gone) leaves the player closed.
    if (!length || !device_->play({track_, {}}, {track_, *length})) {
        device_.reset();
        return display_.showIdleStatus();
    }
    length_ = *length;
    display_.runPlayerTimer(true);
    position_ = 0;
    display_.setPosition(0);
    elapsed_ = 0;
    char text[96];
    std::snprintf(text, sizeof text, "[音轨%d] 00:00 / %d:%d  正在播放...", track_, length_.minutes,
                  length_.seconds);
    display_.showPlayerStatus(text);
}

// Plays on from where the pause left the device; the clock goes on from where it stopped.
void CdPlayer::resume() {
    const auto from = device_->position();
    if (!from) return;
    if (device_->play(*from, {track_, length_})) paused_ = false;
}

void CdPlayer::togglePause(int firstSelectedRow) {
    if (session_.ripping() || !device_) return;
    if (paused_) {
        play(firstSelectedRow);
    } else if (device_->pause()) {
        paused_ = true;
    }
}

void CdPlayer::stop() {
    if (session_.ripping() || !device_) return;
    device_.reset();
    display_.runPlayerTimer(false);
    position_ = 0;
    display_.setPosition(0);
    elapsed_ = 0;
    paused_ = false;
    display_.showIdleStatus();
}

void CdPlayer::toggleTray() {
    if (session_.ripping()) return;
    moveTray(!doorOpen_);
}

void CdPlayer::moveTray(bool open) {
    session_.stopOffsetSearch();  // a disc going out under its reads would end it in an error
    stop();
    const DriveEntry* drive = chosenDrive();
    if (!drive) return;
    // Without a sound output the device does not open, but the tray needs none.
    if (!device_ && !openDevice(*drive)) device_.reset();
    const bool moved = device_ ? device_->setDoor(open) : moveTrayOf(drive->openRequest, open);
    if (moved) doorOpen_ = open;
}

void CdPlayer::showClock(bool playing, int totalSeconds) {
    char text[96];
    std::snprintf(text, sizeof text,
                  playing ? "[音轨%d] %d:%d / %d:%d  正在播放..." : "[音轨%d] %d:%d / %d:%d  暂停",
                  track_, elapsed_ / 60, elapsed_ % 60, totalSeconds / 60, totalSeconds % 60);
    display_.showPlayerStatus(text);
}

void CdPlayer::onPlayerTimer() {
    if (session_.ripping() || !device_) return;
    const auto length = device_->trackLength(track_);
    if (!length) return stop();
    const int total = length->totalSeconds();
    if (!paused_ && ++elapsed_ >= total) return stop();
    showClock(!paused_, total);
    position_ = total > 0 ? std::min(100, elapsed_ * 100 / total) : 100;
    display_.setPosition(position_);
    if (position_ >= 100) stop();
}

void CdPlayer::onSliderDrag(int percent) {
    if (session_.ripping() || !device_) return;
    position_ = percent;
    const auto length = device_->trackLength(track_);
    if (!length) return;
    const int seconds = length->totalSeconds() * std::clamp(percent, 0, 100) / 100;
    elapsed_ = seconds;
    // Dragging starts playback: a pause pressed next must pause, not resume.
    if (device_->play({track_, {seconds / 60, seconds % 60, 0}}, {track_, *length}))
        paused_ = false;
}

}  // namespace lumbra
