// The CD player over virtual drives: what reaches the audio output, the clock and slider texts,
// pause and resume, the tray, and how the player and a rip keep out of each other's way.
#include "app/cd_player.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "app/event_queue.h"
#include "cdaccess/cd_access.h"
#include "cdaccess/cd_access_errors.h"
#include "cdaccess/tray.h"
#include "rip/track_status.h"
#include "support/cue_image.h"
#include "support/isolated_cd_access.h"
#include "support/recording_audio_output.h"
#include "support/recording_prompts.h"
#include "support/temp_dir.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;

class RecordingDisplay : public PlayerDisplay {
public:
    std::vector<std::string> texts;  // every status text, the idle text as "<idle>"
    int position = -1;
    bool timer = false;

    void showPlayerStatus(const std::string& text) override { texts.push_back(text); }
    void showIdleStatus() override { texts.push_back("<idle>"); }
    void setPosition(int percent) override { position = percent; }
    void runPlayerTimer(bool running) override { timer = running; }
    std::string last() const { return texts.empty() ? "" : texts.back(); }
};

class ScriptedPages : public EditablePages {
public:
    PageEdits edits;
    PageEdits readPages() override { return edits; }
};

// One disc for the whole suite: 200 s, 3:05 and 2 s.
class CdPlayerTest : public test::IsolatedCdAccess {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<test::TempDir>();
        image = std::make_unique<test::CueImage>(
            test::writeCueImage(dir->path(), "disc", {15000, 13875, 150}));
    }
    static void TearDownTestSuite() {
        image.reset();
        dir.reset();
    }

    void SetUp() override {
        IsolatedCdAccess::SetUp();
        startVirtualDrives(image->cuePath);
        settings.outputFolder = pages.edits.outputFolder = out.path();
        settings.overwrite = true;
        settings.defaultFormat = kFormatWav;
        session.setPlayback(&player);
        ASSERT_GE(session.buildDriveList(), 1);
        ASSERT_EQ(session.refresh(false), true);
    }
    void TearDown() override {
        // The player's reads must end before CD access does.
        player.stop();
        session.setPlayback(nullptr);
        IsolatedCdAccess::TearDown();
    }

    // The disc's bytes of `track` (from 1), frames [first, first + count).
    static std::vector<uint8_t> discFrames(int track, int first, int count) {
        const auto& audio = image->trackAudio[size_t(track - 1)];
        const auto begin = audio.begin() + ptrdiff_t(first) * kFrameBytes;
        return {begin, begin + ptrdiff_t(count) * kFrameBytes};
    }
    std::vector<uint8_t> pulled(int frames) {
        audio.clear();
        EXPECT_EQ(audio.pullFrames(frames), frames);
        return audio.bytes;
    }

    static inline std::unique_ptr<test::TempDir> dir;
    static inline std::unique_ptr<test::CueImage> image;
    test::TempDir out;
    SettingsRecord settings;
    test::RecordingPrompts prompts;
    EventQueue events;
    ScriptedPages pages;
    DiscSession session{settings, prompts, events, &pages};
    RecordingDisplay display;
    test::RecordedAudio audio;
    CdPlayer player{session, display, test::recordingOutputs(audio)};
};

TEST_F(CdPlayerTest, TheDevicePlaysExactlyTheRangeAskedFor) {
    auto device = CdAudioDevice::open(session.drives()[0].openRequest,
                                      std::make_unique<test::RecordingAudioOutput>(audio));
    ASSERT_TRUE(device);
    EXPECT_TRUE(device->setTimeFormat(TimeFormat::Tmsf));
    EXPECT_FALSE(device->setTimeFormat(TimeFormat::Frames));
    EXPECT_EQ(device->trackLength(2), (Msf{3, 5, 0}));
    EXPECT_EQ(device->trackLength(4), std::nullopt);

    struct Refused {
        Tmsf from, to;
    };
    for (const Refused& r : {Refused{{0, {}}, {1, {1, 0, 0}}}, Refused{{4, {}}, {4, {1, 0, 0}}},
                             Refused{{2, {0, 5, 0}}, {2, {0, 5, 0}}}}) {
        EXPECT_FALSE(device->play(r.from, r.to)) << r.from.track;
        EXPECT_EQ(device->mode(), DeviceMode::Stopped);
    }

    std::atomic<bool> ended = false;
    ASSERT_TRUE(device->play({2, {}}, {2, {3, 5, 0}}, [&] { ended = true; }));
    EXPECT_EQ(device->mode(), DeviceMode::Playing);
    EXPECT_EQ(audio.pullFrames(13875, std::chrono::minutes(2)), 13875) << "three minutes of audio";
    EXPECT_TRUE(ended);
    EXPECT_TRUE(audio.bytes == image->trackAudio[1]) << audio.bytes.size() << " bytes";
    EXPECT_EQ(device->position(), (Tmsf{3, {}})) << "the next frame is track 3's first";

    // A time beyond the track's end is its end; the tail of track 3 plays from its own frames.
    audio.clear();
    ASSERT_TRUE(device->play({3, {0, 1, 0}}, {3, {9, 0, 0}}));
    EXPECT_EQ(audio.pullFrames(75), 75);
    EXPECT_TRUE(audio.bytes == discFrames(3, 75, 75));
    EXPECT_EQ(audio.pullFrames(1, 50ms), 0) << "nothing after the disc's end";
}

TEST_F(CdPlayerTest, TheClockCountsWholeSecondsWithoutPadding) {
    player.play(1);
    ASSERT_TRUE(player.deviceOpen());
    EXPECT_EQ(display.texts,
              (std::vector<std::string>{"正在播放..", "[音轨2] 00:00 / 3:5  正在播放..."}));
    EXPECT_TRUE(display.timer);
    EXPECT_TRUE(pulled(10) == discFrames(2, 0, 10)) << "from the track's first frame";

    player.onPlayerTimer();
    EXPECT_EQ(display.last(), "[音轨2] 0:1 / 3:5  正在播放...");
    EXPECT_EQ(display.position, 0);
    for (int i = 0; i < 92; ++i) player.onPlayerTimer();
    EXPECT_EQ(display.last(), "[音轨2] 1:33 / 3:5  正在播放...");
    EXPECT_EQ(display.position, 50) << "93 of 185 seconds";
}

TEST_F(CdPlayerTest, DraggingTheSliderPlaysFromThatShareOfTheTrack) {
    player.play(0);
    pulled(20);
    player.onSliderDrag(50);
    EXPECT_EQ(player.elapsed(), 100);
    EXPECT_TRUE(pulled(10) == discFrames(1, 100 * 75, 10)) << "from 1:40";
    player.onPlayerTimer();
    EXPECT_EQ(display.last(), "[音轨1] 1:41 / 3:20  正在播放...");
    EXPECT_EQ(display.position, 50);

    // Dragged while paused, it plays again, and the next pause pauses.
    player.togglePause(0);
    ASSERT_TRUE(player.paused());
    player.onSliderDrag(25);
    EXPECT_FALSE(player.paused());
    EXPECT_TRUE(pulled(5) == discFrames(1, 50 * 75, 5));
    player.togglePause(0);
    EXPECT_TRUE(player.paused());
}

TEST_F(CdPlayerTest, APauseKeepsTheClockAndHandsOutNothingUntilPlayGoesOn) {
    player.play(0);
    pulled(30);
    player.onPlayerTimer();
    player.onPlayerTimer();
    player.togglePause(0);
    ASSERT_TRUE(player.paused());
    std::this_thread::sleep_for(50ms);
    std::vector<uint8_t> probe(kFrameBytes);
    EXPECT_EQ(audio.source->readSamples(probe), 0u) << "nothing read ahead is left to play";
    player.onPlayerTimer();
    EXPECT_EQ(display.last(), "[音轨1] 0:2 / 3:20  暂停");
    EXPECT_EQ(player.elapsed(), 2);

    // Resuming plays the paused track on, whatever row is selected now.
    player.play(1);
    EXPECT_FALSE(player.paused());
    EXPECT_EQ(player.track(), 1);
    EXPECT_TRUE(pulled(10) == discFrames(1, 30, 10));
    player.onPlayerTimer();
    EXPECT_EQ(display.last(), "[音轨1] 0:3 / 3:20  正在播放...");
}

TEST_F(CdPlayerTest, PlayStartsTheSelectedTrackAfreshOrNothingWithoutOne) {
    player.play(-1);
    EXPECT_TRUE(display.texts.empty());
    EXPECT_FALSE(player.deviceOpen());
    EXPECT_EQ(audio.outputs, 0);

    player.play(0);
    pulled(40);
    player.onPlayerTimer();
    player.play(1);
    EXPECT_EQ(player.track(), 2);
    EXPECT_EQ(player.elapsed(), 0);
    EXPECT_TRUE(pulled(5) == discFrames(2, 0, 5));
    player.play(1);
    EXPECT_TRUE(pulled(5) == discFrames(2, 0, 5)) << "playing again restarts the track";
}

TEST_F(CdPlayerTest, TheEndOfTheTrackClosesThePlayer) {
    player.play(2);
    player.onPlayerTimer();
    EXPECT_EQ(display.last(), "[音轨3] 0:1 / 0:2  正在播放...");
    player.onPlayerTimer();
    EXPECT_FALSE(player.deviceOpen());
    EXPECT_EQ(display.last(), "<idle>");
    EXPECT_FALSE(display.timer);
    EXPECT_EQ(display.position, 0);
    EXPECT_EQ(player.elapsed(), 0);
}

TEST_F(CdPlayerTest, WithoutAnAudioDeviceThePlayerStaysClosedButTheTrayMoves) {
    CdPlayer silent{session, display, [] { return std::unique_ptr<AudioOutput>(); }};
    silent.play(0);
    EXPECT_FALSE(silent.deviceOpen());
    // The starting text stayed, as if playing, with nothing to hear.
    EXPECT_EQ(display.texts, (std::vector<std::string>{"正在播放..", "没有可用的声音输出设备"}));
    EXPECT_FALSE(display.timer);
    silent.toggleTray();
    EXPECT_EQ(session.refresh(false), false) << "the tray opens all the same";
    silent.toggleTray();
    EXPECT_EQ(session.refresh(false), true) << "and closes";
    EXPECT_FALSE(silent.deviceOpen());
}

TEST_F(CdPlayerTest, ARipStopsPlaybackFirstAndRefusesEveryPlayerCommand) {
    player.play(0);
    pulled(10);  // the reads ahead are under way
    pages.edits.rows = {{false, false}, {false, false}, {true, true}};
    ASSERT_EQ(session.convert(), ConvertResult::Started);
    EXPECT_FALSE(player.deviceOpen());
    EXPECT_EQ(display.last(), "<idle>");
    display.texts.clear();

    const std::function<void()> commands[] = {
        [&] { player.play(0); },          [&] { player.togglePause(0); },
        [&] { player.toggleTray(); },     [&] { player.onPlayerTimer(); },
        [&] { player.onSliderDrag(50); }, [&] { player.stop(); },
    };
    for (const auto& command : commands) command();
    EXPECT_TRUE(display.texts.empty());
    EXPECT_FALSE(player.deviceOpen());
    EXPECT_EQ(audio.outputs, 1);

    for (int i = 0; i < 200 && session.tracks()[2].status < kTrackDone; ++i) {
        events.next(100ms);
    }
    session.finishRip();
    EXPECT_EQ(session.tracks()[2].status, kTrackDone) << "the drive was free for the rip";
}

TEST_F(CdPlayerTest, ARefreshStopsPlayback) {
    player.play(0);
    EXPECT_EQ(session.refreshCommand(), CommandResult::Done);
    EXPECT_FALSE(player.deviceOpen());
    EXPECT_EQ(display.texts.back(), "<idle>");
}

// The door flag starts clear for every run, whatever the tray is doing: the first press opens.
TEST_F(CdPlayerTest, TheTrayOpensOnTheFirstPressAndClosesOnTheSecond) {
    for (const bool openedByHand : {false, true}) {
        if (openedByHand) {
            const int handle = getCDHandle(&session.drives()[0].openRequest);
            ASSERT_EQ(moveTray(handle, true), kResultDone);
            releaseCDHandle(handle);
        }
        CdPlayer fresh{session, display, test::recordingOutputs(audio)};
        fresh.play(0);
        fresh.toggleTray();
        EXPECT_FALSE(fresh.deviceOpen() && audio.pulling) << "the eject stopped playback";
        EXPECT_EQ(session.refresh(false), false) << "an open tray holds no disc";
        fresh.toggleTray();
        EXPECT_EQ(session.refresh(false), true) << "closing brings the disc back";
    }
}

TEST(PlaybackStream, ReadsStopAtOnceWhenHalted) {
    std::atomic<int> reads = 0;
    PlaybackStream stream([&](int32_t, int32_t, std::span<uint8_t>) {
        ++reads;
        return true;
    });
    stream.start(1000, 100000);
    std::vector<uint8_t> out(size_t(30) * kFrameBytes + 7);
    size_t taken = 0;
    for (int i = 0; i < 1000 && taken < out.size(); ++i) {
        taken += stream.readSamples(std::span(out).subspan(taken));
        std::this_thread::sleep_for(1ms);
    }
    EXPECT_EQ(stream.halt(), 1030) << "whole frames taken";
    const int afterHalt = reads;
    EXPECT_LE(afterHalt, 1 + (30 + PlaybackStream::kAheadFrames) / PlaybackStream::kReadFrames)
        << "reads stay two seconds ahead";
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(reads, afterHalt);
    EXPECT_EQ(stream.readSamples(out), 0u);
}

}  // namespace
}  // namespace lumbra
