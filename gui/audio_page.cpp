#include "gui/audio_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/encoder_panes.h"
#include "settings/settings_loaders.h"

namespace lumbra::gui {
namespace {

QGroupBox* group(const QString& caption, QWidget* pane) {
    auto* box = new QGroupBox(caption);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(pane);
    return box;
}

}  // namespace

AudioPage::AudioPage(const PageContext& context, QWidget* parent)
    : SettingsPage(context, parent),
      mp3_(new Mp3OptionsPane),
      ogg_(new OggOptionsPane),
      wav_(new WavOptionsPane),
      wma_(new WmaOptionsPane) {
    effective_ = new QCheckBox("立即生效。");
    effective_->setObjectName("effective");
    auto* apply = new QPushButton("应用");
    apply->setObjectName("apply");
    apply->setToolTip("应用更改");
    apply->setAutoDefault(false);
    apply->setIcon(QIcon(":/icons/apply.svg"));

    auto* left = new QVBoxLayout;
    left->addWidget(group(mp3EncoderCaption(), mp3_));
    left->addWidget(group("WAV", wav_));
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(group(oggEncoderCaption(), ogg_));
    right->addWidget(group("WMA", wma_));
    right->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(effective_);
    bottom->addStretch();
    bottom->addWidget(apply);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(bottom);

    connect(apply, &QPushButton::clicked, this, &AudioPage::apply);
}

// The loader hands over what the controls can show; reading them back keeps it so.
void AudioPage::load() {
    effective_->setChecked(loadEncoderSettings(store(), settings()));
    showSettings(settings().encoder);
    settings().encoder = shownSettings();
    settings().trackDialogSettings = settings().encoder;
}

void AudioPage::showSettings(const EncoderSettings& encoder) {
    wav_->setValues(encoder.wav);
    ogg_->setValues(encoder.ogg);
    mp3_->setValues(encoder.mp3);
    wma_->setValues(encoder.wma);
}

EncoderSettings AudioPage::shownSettings() const {
    return {wav_->values(), ogg_->values(), mp3_->values(), wma_->values()};
}

void AudioPage::apply() {
    settings().encoder = shownSettings();
    const bool effective = effective_->isChecked();
    store().write(keys::kEffective, effective);
    if (effective) applyEncoderDefaults();
    writeKeys();
}

void AudioPage::writeKeys() const {
    const EncoderSettings& e = settings().encoder;
    const SettingsStore& s = store();
    s.write(keys::kMp3Sample, e.mp3.sampleRate);
    s.write(keys::kMp3Channels, e.mp3.channelMode);
    s.write(keys::kMp3Bitrate, e.mp3.bitrate);
    s.write(keys::kMp3Quality, e.mp3.preset);
    s.write(keys::kMp3EnableVbr, e.mp3.vbr);
    s.write(keys::kMp3VbrMax, e.mp3.vbrMax);
    s.write(keys::kMp3VbrQuality, e.mp3.vbrQuality);
    s.write(keys::kOggSample, e.ogg.sampleRate);
    s.write(keys::kOggChannels, e.ogg.channels);
    s.write(keys::kOggEnableCbr, e.ogg.cbr);
    s.write(keys::kOggEnableBbr, e.ogg.bbr);
    s.write(keys::kOggEnableVbr, e.ogg.vbr);
    s.write(keys::kOggBitrate, e.ogg.bitrate);
    s.write(keys::kOggBbrMin, e.ogg.bbrMin);
    s.write(keys::kOggBbrNominal, e.ogg.bbrNominal);
    s.write(keys::kOggBbrMax, e.ogg.bbrMax);
    s.write(keys::kOggVbrQuality, e.ogg.vbrQuality);
    s.write(keys::kWavSample, e.wav.sampleRate);
    s.write(keys::kWavChannels, e.wav.channels);
    s.write(keys::kWavBitrate, e.wav.sampleSize);
    s.write(keys::kWmaSample, e.wma.sampleRate);
    s.write(keys::kWmaBitrate, e.wma.bitrate);
    s.write(keys::kWmaUseDrm, e.wma.drm);
}

}  // namespace lumbra::gui
