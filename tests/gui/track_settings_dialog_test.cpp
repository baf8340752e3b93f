// The track settings command and its dialog: what the dialog starts from, one pane at a time, what
// OK gives the selected tracks and the current one, that cancel changes nothing, and a rip of a
// track that the dialog gave settings of its own.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>

#include "gui/encoder_panes.h"
#include "gui/track_settings_dialog.h"
#include "support/ffmpeg_audio_decoder.h"
#include "window_harness.h"

namespace lumbra {
namespace {

using gui::TrackSettingsDialog;

class TrackSettingsDialogTest : public test::WindowHarness {
protected:
    // Runs the command; `inDialog` plays the user and says whether the dialog ended with OK.
    void runCommand(const std::function<void(TrackSettingsDialog&)>& inDialog) {
        bool ran = false;
        rip().runTrackDialog = [&](TrackSettingsDialog& dialog) {
            ran = true;
            dialog.show();
            inDialog(dialog);
            return dialog.result() == QDialog::Accepted;
        };
        for (QAction* action : rip().contextMenu()->actions()) {
            if (action->text() == "音轨设置") action->trigger();
        }
        ASSERT_TRUE(ran);
    }
    // The panes that the user sees, by format order.
    static std::vector<bool> visiblePanes(TrackSettingsDialog& dialog) {
        return {dialog.findChild<gui::WavOptionsPane*>()->isVisible(),
                dialog.findChild<gui::OggOptionsPane*>()->isVisible(),
                dialog.findChild<gui::Mp3OptionsPane*>()->isVisible(),
                dialog.findChild<gui::WmaOptionsPane*>()->isVisible(),
                dialog.findChild<gui::FlacOptionsPane*>()->isVisible(),
                dialog.findChild<gui::OpusOptionsPane*>()->isVisible()};
    }
    // MP3 at a constant 320 kbit/s, mono.
    static void chooseMp3Cbr320Mono(TrackSettingsDialog& dialog) {
        choose(in<QComboBox>(&dialog, "format"), kFormatMp3);
        auto* mp3 = dialog.findChild<gui::Mp3OptionsPane*>();
        choose(in<QComboBox>(mp3, "bitrate"), 13);
        choose(in<QComboBox>(mp3, "channels"), 0);
        if (in<QCheckBox>(mp3, "vbr")->isChecked()) clickIn(mp3, "vbr");
    }
};

TEST_F(TrackSettingsDialogTest, OkGivesTheSelectedTracksThePaneAndTheCurrentOneTheTitle) {
    open("demo");
    const std::vector<TrackEntry> before = session().tracks();
    const std::string ini = home.read("setup.ini");
    selectOnly({1, 2, 4});
    runCommand([&](TrackSettingsDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Lumbra CD Ripper 设置");
        EXPECT_EQ(in<QLineEdit>(&dialog, "title")->text().toStdString(), before[1].title);
        EXPECT_EQ(visiblePanes(dialog),
                  (std::vector<bool>{false, false, true, false, false, false}));
        in<QLineEdit>(&dialog, "title")->setText("新的标题");
        chooseMp3Cbr320Mono(dialog);
        clickIn(&dialog, "ok");
    });
    const auto& tracks = session().tracks();
    const EncoderSlots chosen = toSlots(Mp3Settings{1, 0, 13, 0, 3, 10, 7});
    for (size_t row : {1u, 2u, 4u}) {
        EXPECT_EQ(tracks[row].format, kFormatMp3) << row;
        EXPECT_EQ(tracks[row].encoderSettings, chosen) << row;
        EXPECT_EQ(cell(int(row), 2), "MP3 - [ 320 kbps ]") << row;
    }
    for (size_t row : {0u, 3u}) EXPECT_EQ(tracks[row].encoderSettings, before[row].encoderSettings);
    EXPECT_EQ(tracks[1].title, "新的标题");
    EXPECT_EQ(cell(1, 0), "新的标题");
    EXPECT_EQ(tracks[2].title, before[2].title);
    EXPECT_EQ(tracks[4].title, before[4].title);
    EXPECT_EQ(settings.encoder.mp3.bitrate, 8) << "the defaults stay";
    EXPECT_EQ(home.read("setup.ini"), ini) << "nothing is stored";
}

// The dialog opens on the first selected track's own format and settings; the other panes
// show the defaults. Cancel changes nothing, whatever was chosen.
TEST_F(TrackSettingsDialogTest, TheDialogStartsFromTheFirstSelectedTracksOwnSettings) {
    open("demo");
    selectOnly({2});
    runCommand([&](TrackSettingsDialog& dialog) {
        choose(in<QComboBox>(&dialog, "format"), kFormatWav);
        auto* wav = dialog.findChild<gui::WavOptionsPane*>();
        choose(in<QComboBox>(wav, "sampleRate"), 2);
        choose(in<QComboBox>(wav, "sampleSize"), 0);
        clickIn(&dialog, "ok");
    });
    EXPECT_EQ(cell(2, 2), "WAV - [ 48000 Hz ]");
    selectOnly({2, 0});
    runCommand([&](TrackSettingsDialog& dialog) {
        EXPECT_EQ(in<QComboBox>(&dialog, "format")->currentIndex(), kFormatMp3)
            << "row 0 comes first and is the current track";
        EXPECT_EQ(dialog.findChild<gui::WavOptionsPane*>()->values().sampleRate, 1);
        clickIn(&dialog, "cancel");
    });
    selectOnly({2});
    runCommand([&](TrackSettingsDialog& dialog) {
        EXPECT_EQ(in<QComboBox>(&dialog, "format")->currentIndex(), kFormatWav);
        const WavSettings shown = dialog.findChild<gui::WavOptionsPane*>()->values();
        EXPECT_EQ(shown.sampleRate, 2);
        EXPECT_EQ(shown.sampleSize, 0);
        EXPECT_EQ(shown.channels, 1);
        clickIn(&dialog, "cancel");
    });

    // Cancel after trying every format changes nothing.
    selectOnly({0, 3});
    const std::vector<TrackEntry> before = session().tracks();
    runCommand([&](TrackSettingsDialog& dialog) {
        in<QLineEdit>(&dialog, "title")->setText("别的");
        for (int format : {kFormatWav, kFormatOgg, kFormatWma, kFormatFlac, kFormatOpus}) {
            choose(in<QComboBox>(&dialog, "format"), format);
            std::vector<bool> one(6, false);
            one[size_t(format)] = true;
            EXPECT_EQ(visiblePanes(dialog), one) << format;
        }
        clickIn(&dialog, "cancel");
    });
    const auto& tracks = session().tracks();
    for (size_t row = 0; row < tracks.size(); ++row) {
        EXPECT_EQ(tracks[row].title, before[row].title);
        EXPECT_EQ(tracks[row].format, before[row].format);
        EXPECT_EQ(tracks[row].encoderSettings, before[row].encoderSettings);
    }
}

TEST_F(TrackSettingsDialogTest, ATrackRipsWithTheSettingsTheDialogGaveIt) {
    open(image("disc", 3, 4));
    selectOnly({1});
    runCommand([&](TrackSettingsDialog& dialog) {
        chooseMp3Cbr320Mono(dialog);
        clickIn(&dialog, "ok");
    });
    for (int row = 0; row < 3; ++row) tick(row);
    click("convert");
    ASSERT_TRUE(waitForRipEnd());
    ASSERT_TRUE(prompts.shown.empty()) << prompts.shown.front().text;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(outputFolder())) {
        if (entry.path().extension() == ".mp3") files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    ASSERT_EQ(files.size(), 3u);
    const struct {
        int channels;
        bool constant320;
    } expected[] = {{2, false}, {1, true}, {2, false}};
    for (size_t i = 0; i < files.size(); ++i) {
        const test::DecodedAudio audio = test::decodeAudioFile(files[i]);
        ASSERT_TRUE(audio.complete) << files[i];
        EXPECT_EQ(audio.sampleRate, 44100) << files[i];
        EXPECT_EQ(audio.channels, expected[i].channels) << files[i];
        EXPECT_EQ(audio.bitRate == 320000, expected[i].constant320) << files[i] << audio.bitRate;
        EXPECT_NEAR(audio.decodedSeconds(), 4.0, 0.05) << files[i];
    }
}

}  // namespace
}  // namespace lumbra
