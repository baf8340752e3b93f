#include "gui/audio_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/encoder_panes.h"
#include "settings/settings_loaders.h"
#include "settings/settings_savers.h"

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
      wma_(new WmaOptionsPane),
      flac_(new FlacOptionsPane),
      opus_(new OpusOptionsPane) {
    effective_ = new QCheckBox("立即生效。");
    effective_->setObjectName("effective");
    auto* apply = new QPushButton("应用(&P)");
    apply->setObjectName("apply");
    apply->setToolTip("应用更改");
    apply->setAutoDefault(false);
    apply->setIcon(QIcon(":/icons/apply.svg"));

    auto* left = new QVBoxLayout;
    left->addWidget(group(mp3EncoderCaption(), mp3_));
    left->addWidget(group("WAV", wav_));
    left->addWidget(group(flacEncoderCaption(), flac_));
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(group(oggEncoderCaption(), ogg_));
    right->addWidget(group("WMA", wma_));
    right->addWidget(group(opusEncoderCaption(), opus_));
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
    flac_->setValues(encoder.flac);
    opus_->setValues(encoder.opus);
}

EncoderSettings AudioPage::shownSettings() const {
    return {wav_->values(), ogg_->values(),  mp3_->values(),
            wma_->values(), flac_->values(), opus_->values()};
}

void AudioPage::apply() {
    settings().encoder = shownSettings();
    const bool effective = effective_->isChecked();
    saveEncoderSettings(store(), settings(), effective);
    if (effective) applyEncoderDefaults();
}

}  // namespace lumbra::gui
