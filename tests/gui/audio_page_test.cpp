// The encoder page in the window: what it loads and shows, the rules between its controls, the
// keys apply writes, and what apply does to the listed tracks.
#include <gtest/gtest.h>

#include <FLAC/format.h>
#include <lame/lame.h>
#include <opus/opus.h>
#include <vorbis/codec.h>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <QTabWidget>
#include <cstring>

#include "gui/audio_page.h"
#include "gui/encoder_panes.h"
#include "ini_lines.h"
#include "window_harness.h"

namespace lumbra {
namespace {

class AudioPageTest : public test::WindowHarness {
protected:
    void openOnPage(const std::string& discs = "demo", const std::string& faults = "") {
        open(discs, faults);
        window->tabs()->setCurrentWidget(&page());
    }
    gui::AudioPage& page() const { return window->audioPage(); }
    template <typename Pane>
    Pane* pane() const {
        return page().findChild<Pane*>();
    }
    void apply() const { clickIn(&page(), "apply"); }
    QString qualityText() const {
        return in<QLabel>(pane<gui::OggOptionsPane>(), "qualityText")->text();
    }
    QStringList items(QComboBox* box) const {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
        return texts;
    }
};

TEST_F(AudioPageTest, TheQualityTextFollowsTheSlider) {
    openOnPage();
    EXPECT_EQ(qualityText(), "0.45 (141 kbps)");
    QSlider* slider = in<QSlider>(pane<gui::OggOptionsPane>(), "quality");
    EXPECT_EQ(slider->maximum(), 20);
    EXPECT_EQ(slider->tickInterval(), 2);
    const std::pair<int, const char*> steps[] = {{20, "1.00 (477 kbps)"},
                                                 {0, "0.00 (58 kbps)"},
                                                 {1, "0.05 (73 kbps)"},
                                                 {9, "0.45 (141 kbps)"}};
    for (const auto& [position, text] : steps) {
        slider->setValue(position);
        EXPECT_EQ(qualityText(), text) << position;
        EXPECT_EQ(pane<gui::OggOptionsPane>()->values().vbrQuality, position);
    }
}

TEST_F(AudioPageTest, BbrAndVbrExcludeEachOtherAndCbrMeansNeither) {
    openOnPage();
    auto* ogg = pane<gui::OggOptionsPane>();
    struct Step {
        const char* click;
        int bbr, vbr, cbr;
    };
    // Defaults: VBR on, BBR off.
    const Step steps[] = {{"bbr", 1, 0, 0}, {"bbr", 0, 0, 1}, {"vbr", 0, 1, 0},
                          {"bbr", 1, 0, 0}, {"vbr", 0, 1, 0}, {"vbr", 0, 0, 1}};
    for (const Step& step : steps) {
        clickIn(ogg, step.click);
        const OggSettings values = ogg->values();
        EXPECT_EQ(values.bbr, step.bbr) << step.click;
        EXPECT_EQ(values.vbr, step.vbr) << step.click;
        EXPECT_EQ(values.cbr, step.cbr) << step.click;
        EXPECT_EQ(in<QCheckBox>(ogg, "bbr")->isChecked(), step.bbr != 0);
        EXPECT_EQ(in<QCheckBox>(ogg, "vbr")->isChecked(), step.vbr != 0);
    }
    apply();
    EXPECT_EQ(store.read(keys::kOggEnableCbr), 1);
}

TEST_F(AudioPageTest, TheWmaRateListFollowsTheBitrate) {
    configure(false, "[WMA]\nWMA_BITRATE=8\nWMA_SAMPLE=1\n");
    openOnPage();
    auto* wma = pane<gui::WmaOptionsPane>();
    QComboBox* rates = in<QComboBox>(wma, "sampleRate");
    EXPECT_EQ(items(rates), (QStringList{"44100Hz", "48000Hz"}));
    EXPECT_EQ(rates->currentIndex(), 1) << "the stored rate of 160 kbps";
    const struct {
        int bitrate;
        QStringList rates;
    } choices[] = {{0, {"8000Hz"}},
                   {1, {"16000Hz", "22050Hz", "32000Hz"}},
                   {3, {"32000Hz", "44100Hz"}},
                   {6, {"44100Hz"}},
                   {8, {"44100Hz", "48000Hz"}}};
    for (const auto& choice : choices) {
        choose(in<QComboBox>(wma, "bitrate"), choice.bitrate);
        EXPECT_EQ(items(rates), choice.rates) << choice.bitrate;
        EXPECT_EQ(rates->currentIndex(), 0) << "the first rate is chosen";
        EXPECT_EQ(wma->values().sampleRate, 0);
        EXPECT_EQ(wma->values().bitrate, choice.bitrate);
    }
}

TEST_F(AudioPageTest, IndexesTheBoxesCannotShowArriveAsNone) {
    configure(false,
              "[MP3]\nMP3_BITRATE=14\nMP3_VBRQUALITY=-3\n[OGG]\nOGG_VBRQUALITY=40\n"
              "[WMA]\nWMA_BITRATE=0\nWMA_SAMPLE=1\n[WAV]\nWAV_CHANNELS=2\n");
    openOnPage();
    EXPECT_EQ(settings.encoder.mp3.bitrate, -1);
    EXPECT_EQ(settings.encoder.mp3.vbrQuality, -1);
    EXPECT_EQ(settings.encoder.ogg.vbrQuality, 20) << "held to the slider's end";
    EXPECT_EQ(qualityText(), "1.00 (477 kbps)");
    EXPECT_EQ(settings.encoder.wma.sampleRate, -1) << "6 kbps offers one rate";
    EXPECT_EQ(settings.encoder.wav.channels, -1);
    EXPECT_EQ(settings.encoder.mp3.sampleRate, 1) << "others as stored";
    EXPECT_EQ(in<QComboBox>(pane<gui::Mp3OptionsPane>(), "bitrate")->currentIndex(), -1);
}

TEST_F(AudioPageTest, ApplyWritesEffectiveAndEveryEncoderKeyAndNothingElse) {
    configure(false, "[WMA]\nWMA_USEDRM=1\n");
    openOnPage();
    auto* mp3 = pane<gui::Mp3OptionsPane>();
    choose(in<QComboBox>(mp3, "bitrate"), 13);
    clickIn(mp3, "vbr");
    choose(in<QComboBox>(pane<gui::WavOptionsPane>(), "sampleSize"), 0);
    in<QSlider>(pane<gui::OggOptionsPane>(), "quality")->setValue(4);
    choose(in<QComboBox>(pane<gui::FlacOptionsPane>(), "level"), 8);
    clickIn(pane<gui::FlacOptionsPane>(), "verify");
    choose(in<QComboBox>(pane<gui::OpusOptionsPane>(), "bitrate"), 7);
    const std::string before = home.read("setup.ini");
    apply();
    const std::map<std::string, std::string> expected = {
        {"GENERAL/EFFECTIVE", "1"}, {"MP3/MP3_SAMPLE", "1"},     {"MP3/MP3_CHANNELS", "1"},
        {"MP3/MP3_BITRATE", "13"},  {"MP3/MP3_QUALITY", "7"},    {"MP3/MP3_ENABLEVBR", "0"},
        {"MP3/MP3_VBRMAX", "10"},   {"MP3/MP3_VBRQUALITY", "3"}, {"OGG/OGG_SAMPLE", "0"},
        {"OGG/OGG_CHANNELS", "1"},  {"OGG/OGG_ENABLECBR", "0"},  {"OGG/OGG_ENABLEBBR", "0"},
        {"OGG/OGG_ENABLEVBR", "1"}, {"OGG/OGG_BITRATE", "0"},    {"OGG/OGG_BBR_MIN", "0"},
        {"OGG/OGG_BBR_NOR", "0"},   {"OGG/OGG_BBR_MAX", "3"},    {"OGG/OGG_VBRQUALITY", "4"},
        {"WAV/WAV_SAMPLE", "1"},    {"WAV/WAV_CHANNELS", "1"},   {"WAV/WAV_BITRATE", "0"},
        {"WMA/WMA_SAMPLE", "0"},    {"WMA/WMA_BITRATE", "6"},    {"FLAC/FLAC_LEVEL", "8"},
        {"FLAC/FLAC_VERIFY", "0"},  {"OPUS/OPUS_BITRATE", "7"}};
    EXPECT_EQ(test::changedValues(before, home.read("setup.ini")), expected)
        << "WMA_USEDRM keeps its stored 1";
    EXPECT_EQ(store.read(keys::kWmaUseDrm), 1);
    EXPECT_EQ(settings.encoder.mp3.bitrate, 13);
    EXPECT_EQ(settings.encoder.ogg.vbrQuality, 4);
    EXPECT_EQ(settings.encoder.flac.verify, 0);
}

TEST_F(AudioPageTest, ApplyGivesTheListedTracksTheNewDefaultsOnlyWhenEffective) {
    configure(false, "[GENERAL]\nEFFECTIVE=0\n");
    openOnPage();
    ASSERT_EQ(rows(), 5);
    const QString before = cell(4, 2);
    EXPECT_FALSE(in<QCheckBox>(&page(), "effective")->isChecked());
    choose(in<QComboBox>(pane<gui::Mp3OptionsPane>(), "bitrate"), 13);
    apply();
    EXPECT_EQ(cell(4, 2), before) << "stored, the rows as they were";
    EXPECT_EQ(store.read(keys::kEffective), 0);
    EXPECT_EQ(store.read(keys::kMp3Bitrate), 13);

    clickIn(&page(), "effective");
    apply();
    for (int row = 0; row < rows(); ++row)
        EXPECT_EQ(cell(row, 2), "MP3 - [ 320-192 kbps VBR Q3 ]") << row;
    EXPECT_EQ(store.read(keys::kEffective), 1);
}

// The job works on what the tracks were when it started; new defaults are for the next rip.
TEST_F(AudioPageTest, ApplyDuringARipLeavesTheRunningJobAlone) {
    openOnPage(image("disc", 2, 5), "delay=20");
    ripWav({0, 1});
    ASSERT_TRUE(session().ripping());
    choose(in<QComboBox>(pane<gui::WavOptionsPane>(), "sampleRate"), 0);
    apply();
    EXPECT_EQ(cell(0, 2), "WAV - [ 32000 Hz ]") << "the rows show the new defaults at once";
    EXPECT_EQ(cell(1, 2), "WAV - [ 32000 Hz ]");
    ASSERT_TRUE(waitForRipEnd());
    ASSERT_TRUE(prompts.shown.empty()) << prompts.shown.front().text;
    int files = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(outputFolder())) {
        if (entry.path().extension() != ".wav") continue;
        ++files;
        const std::string header =
            home.read(std::filesystem::relative(entry.path(), home.path()).string()).substr(0, 44);
        uint32_t rate = 0;
        std::memcpy(&rate, header.data() + 24, sizeof rate);
        EXPECT_EQ(rate, 44100u) << entry.path();
    }
    EXPECT_EQ(files, 2);
    EXPECT_EQ(session().tracks()[1].encoderSettings[0], 0) << "the next rip uses 32000 Hz";
}

// Nothing shown promises rights management, though the stored flag passes through; the captions
// name the encoder libraries in use, and the encoder box offers every format with its defaults.
TEST_F(AudioPageTest, WhatThePanesAndTheEncoderBoxShow) {
    configure(false, "[WMA]\nWMA_USEDRM=1\n");
    openOnPage();
    QCheckBox* drm = in<QCheckBox>(pane<gui::WmaOptionsPane>(), "drm");
    EXPECT_FALSE(drm->isChecked());
    EXPECT_FALSE(drm->isEnabled());
    EXPECT_EQ(settings.encoder.wma.drm, 1);

    QStringList captions;
    for (auto* box : page().findChildren<QGroupBox*>()) captions << box->title();
    const QString vorbis = QString(vorbis_version_string()).section(' ', 2, 2);
    const QString opus = QString(opus_get_version_string()).section(' ', 1, 1);
    EXPECT_EQ(captions,
              (QStringList{QString("MP3  (LAME 编码器版本 %1)").arg(get_lame_version()), "WAV",
                           QString("FLAC  (FLAC 编码器版本 %1)").arg(FLAC__VERSION_STRING),
                           QString("OGG  (OGG 编码器版本 %1)").arg(vorbis), "WMA",
                           QString("OPUS  (Opus 编码器版本 %1)").arg(opus)}));
    EXPECT_FALSE(vorbis.isEmpty());
    EXPECT_FALSE(opus.isEmpty());

    EXPECT_EQ(items(rip().encoderBox()), (QStringList{"WAV", "OGG", "MP3", "WMA", "FLAC", "OPUS"}));
    EXPECT_EQ(items(in<QComboBox>(pane<gui::FlacOptionsPane>(), "level")).size(), 9);
    EXPECT_TRUE(in<QCheckBox>(pane<gui::FlacOptionsPane>(), "verify")->isChecked());
    rip().trackView()->selectAll();
    const std::pair<int, const char*> defaults[] = {{kFormatWma, "WMA - [ 96 kbps ]"},
                                                    {kFormatFlac, "FLAC - [ 级别 5 ]"},
                                                    {kFormatOpus, "OPUS - [ 160 kbps ]"}};
    for (const auto& [format, summary] : defaults) {
        choose(rip().encoderBox(), format);
        EXPECT_EQ(cell(0, 2), summary);
    }
}

}  // namespace
}  // namespace lumbra
