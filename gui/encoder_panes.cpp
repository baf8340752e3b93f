#include "gui/encoder_panes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <span>

#include "rip/encoder_versions.h"
#include "settings/value_lists.h"

namespace lumbra::gui {
namespace {

constexpr int kQualityTickStep = 2;

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QComboBox* listBox(const char* name, std::span<const ListItem> items) {
    auto* box = new QComboBox;
    box->setObjectName(name);
    for (const ListItem& item : items) box->addItem(qs(item.text));
    return box;
}

QCheckBox* checkBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

// An index the box cannot show leaves it without selection, as a stored index out of its list.
void select(QComboBox* box, int32_t index) {
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

int32_t selection(const QComboBox* box) {
    return box->currentIndex();
}

// A label and its box in the cells (row, column) and (row, column + 1).
void addPair(QGridLayout* grid, int row, int column, const char* caption, QWidget* box) {
    auto* label = new QLabel(caption);
    label->setBuddy(box);
    grid->addWidget(label, row, column);
    grid->addWidget(box, row, column + 1);
}

QGridLayout* paneGrid(QWidget* pane) {
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return grid;
}

QString versionCaption(const char* format, const char* encoder, const std::string& version) {
    if (version.empty()) return format;
    return QString("%1  (%2 编码器版本 %3)").arg(format, encoder, QString::fromStdString(version));
}

}  // namespace

QString mp3EncoderCaption() {
    static const QString caption = versionCaption("MP3", "LAME", mp3EncoderVersion());
    return caption;
}

QString oggEncoderCaption() {
    static const QString caption = versionCaption("OGG", "OGG", oggEncoderVersion());
    return caption;
}

QString flacEncoderCaption() {
    static const QString caption = versionCaption("FLAC", "FLAC", flacEncoderVersion());
    return caption;
}

QString opusEncoderCaption() {
    static const QString caption = versionCaption("OPUS", "Opus", opusEncoderVersion());
    return caption;
}

WavOptionsPane::WavOptionsPane(QWidget* parent) : QWidget(parent) {
    sampleRate_ = listBox("sampleRate", kWavSampleRates);
    channels_ = listBox("channels", kWavChannels);
    sampleSize_ = listBox("sampleSize", kWavSampleSizes);
    auto* grid = paneGrid(this);
    addPair(grid, 0, 0, "采样率", sampleRate_);
    addPair(grid, 0, 2, "声道", channels_);
    addPair(grid, 1, 0, "平均采样率", sampleSize_);
}

void WavOptionsPane::setValues(const WavSettings& values) {
    select(sampleRate_, values.sampleRate);
    select(channels_, values.channels);
    select(sampleSize_, values.sampleSize);
}

WavSettings WavOptionsPane::values() const {
    return {selection(sampleRate_), selection(channels_), selection(sampleSize_)};
}

Mp3OptionsPane::Mp3OptionsPane(QWidget* parent) : QWidget(parent) {
    sampleRate_ = listBox("sampleRate", kMp3SampleRates);
    channels_ = listBox("channels", kMp3ChannelModes);
    bitrate_ = listBox("bitrate", kMp3Bitrates);
    preset_ = listBox("preset", kMp3QualityPresets);
    vbr_ = checkBox("vbr", "启用 VBR");
    vbrMax_ = listBox("vbrMax", kMp3Bitrates);
    vbrQuality_ = listBox("vbrQuality", kMp3VbrQualities);
    auto* grid = paneGrid(this);
    addPair(grid, 0, 0, "采样率", sampleRate_);
    addPair(grid, 0, 2, "声道", channels_);
    addPair(grid, 1, 0, "比特率", bitrate_);
    addPair(grid, 1, 2, "MPEG", preset_);
    grid->addWidget(vbr_, 2, 0, 1, 4, Qt::AlignLeft);
    addPair(grid, 3, 0, "最大值:", vbrMax_);
    addPair(grid, 3, 2, "VBR 品质:", vbrQuality_);
}

void Mp3OptionsPane::setValues(const Mp3Settings& values) {
    select(sampleRate_, values.sampleRate);
    select(channels_, values.channelMode);
    select(bitrate_, values.bitrate);
    select(preset_, values.preset);
    vbr_->setChecked(values.vbr != 0);
    select(vbrMax_, values.vbrMax);
    select(vbrQuality_, values.vbrQuality);
}

Mp3Settings Mp3OptionsPane::values() const {
    return {selection(sampleRate_), selection(channels_), selection(bitrate_), vbr_->isChecked(),
            selection(vbrQuality_), selection(vbrMax_),   selection(preset_)};
}

OggOptionsPane::OggOptionsPane(QWidget* parent) : QWidget(parent) {
    sampleRate_ = listBox("sampleRate", kOggSampleRates);
    channels_ = listBox("channels", kOggChannels);
    bitrate_ = listBox("bitrate", kOggBitrates);
    bbr_ = checkBox("bbr", "启用 BBR:");
    bbrMin_ = listBox("bbrMin", kOggBitrates);
    bbrNominal_ = listBox("bbrNominal", kOggBitrates);
    bbrMax_ = listBox("bbrMax", kOggBitrates);
    vbr_ = checkBox("vbr", "启用 VBR:");
    quality_ = new QSlider(Qt::Horizontal);
    quality_->setObjectName("quality");
    quality_->setRange(0, kOggQualitySteps - 1);
    quality_->setTickInterval(kQualityTickStep);
    quality_->setTickPosition(QSlider::TicksBelow);
    qualityText_ = new QLabel;
    qualityText_->setObjectName("qualityText");
    // Wide enough for the longest text, so the slider keeps its length while it moves.
    qualityText_->setMinimumWidth(qualityText_->fontMetrics().horizontalAdvance("0.00 (000 kbps)"));

    auto* grid = paneGrid(this);
    addPair(grid, 0, 0, "采样率", sampleRate_);
    addPair(grid, 0, 2, "声道", channels_);
    addPair(grid, 1, 0, "比特率", bitrate_);
    grid->addWidget(bbr_, 2, 0, 1, 4, Qt::AlignLeft);
    auto* bounds = new QHBoxLayout;
    for (auto [caption, box] : {std::pair{"最小:", bbrMin_}, std::pair{"标准:", bbrNominal_},
                                std::pair{"最大:", bbrMax_}}) {
        auto* label = new QLabel(caption);
        label->setBuddy(box);
        bounds->addWidget(label);
        bounds->addWidget(box, 1);
    }
    grid->addLayout(bounds, 3, 0, 1, 4);
    grid->addWidget(vbr_, 4, 0, 1, 4, Qt::AlignLeft);
    grid->addWidget(quality_, 5, 0, 1, 3);
    grid->addWidget(qualityText_, 5, 3);

    connect(quality_, &QSlider::valueChanged, this, &OggOptionsPane::qualityMoved);
    connect(bbr_, &QCheckBox::clicked, this, &OggOptionsPane::bbrClicked);
    connect(vbr_, &QCheckBox::clicked, this, &OggOptionsPane::vbrClicked);
}

void OggOptionsPane::setValues(const OggSettings& values) {
    select(sampleRate_, values.sampleRate);
    select(channels_, values.channels);
    cbr_ = values.cbr;
    bbr_->setChecked(values.bbr != 0);
    vbr_->setChecked(values.vbr != 0);
    select(bitrate_, values.bitrate);
    select(bbrMin_, values.bbrMin);
    select(bbrNominal_, values.bbrNominal);
    select(bbrMax_, values.bbrMax);
    quality_->setValue(values.vbrQuality);
    qualityMoved(quality_->value());
}

OggSettings OggOptionsPane::values() const {
    return {selection(sampleRate_), selection(channels_),   cbr_,
            bbr_->isChecked(),      vbr_->isChecked(),      selection(bitrate_),
            selection(bbrMin_),     selection(bbrNominal_), selection(bbrMax_),
            quality_->value()};
}

void OggOptionsPane::qualityMoved(int position) {
    qualityText_->setText(QString::fromStdString(oggQualityText(position)));
}

void OggOptionsPane::bbrClicked() {
    if (bbr_->isChecked()) vbr_->setChecked(false);
    updateCbr();
}

void OggOptionsPane::vbrClicked() {
    if (vbr_->isChecked()) bbr_->setChecked(false);
    updateCbr();
}

void OggOptionsPane::updateCbr() {
    cbr_ = !bbr_->isChecked() && !vbr_->isChecked();
}

WmaOptionsPane::WmaOptionsPane(QWidget* parent) : QWidget(parent) {
    bitrate_ = listBox("bitrate", kWmaBitrates);
    sampleRate_ = new QComboBox;
    sampleRate_->setObjectName("sampleRate");
    drm_ = checkBox("drm", "数字版权保护(DRM)");
    drm_->setEnabled(false);
    drm_->setToolTip("写出的 WMA 文件不带数字版权保护");
    auto* grid = paneGrid(this);
    addPair(grid, 0, 0, "采样率", sampleRate_);
    addPair(grid, 0, 2, "比特率", bitrate_);
    grid->addWidget(drm_, 1, 0, 1, 4, Qt::AlignLeft);
    connect(bitrate_, &QComboBox::activated, this, &WmaOptionsPane::bitrateChosen);
}

void WmaOptionsPane::setValues(const WmaSettings& values) {
    select(bitrate_, values.bitrate);
    fillRates(selection(bitrate_));
    select(sampleRate_, values.sampleRate);
    drmFlag_ = values.drm;
}

WmaSettings WmaOptionsPane::values() const {
    return {selection(sampleRate_), selection(bitrate_), drmFlag_};
}

void WmaOptionsPane::bitrateChosen(int index) {
    fillRates(index);
    select(sampleRate_, 0);
}

void WmaOptionsPane::fillRates(int32_t bitrateIndex) {
    sampleRate_->clear();
    for (std::string_view rate : wmaRatesForBitrate(listValue(kWmaBitrates, bitrateIndex, 0)).items)
        sampleRate_->addItem(qs(rate));
    sampleRate_->setCurrentIndex(-1);
}

FlacOptionsPane::FlacOptionsPane(QWidget* parent) : QWidget(parent) {
    level_ = listBox("level", kFlacLevels);
    verify_ = checkBox("verify", "校验");
    verify_->setToolTip("编码时解码每一帧并与原始音频比较");
    auto* grid = paneGrid(this);
    addPair(grid, 0, 0, "压缩级别", level_);
    grid->addWidget(verify_, 0, 2, 1, 2, Qt::AlignLeft);
}

void FlacOptionsPane::setValues(const FlacSettings& values) {
    select(level_, values.level);
    verify_->setChecked(values.verify != 0);
}

FlacSettings FlacOptionsPane::values() const {
    return {selection(level_), verify_->isChecked()};
}

OpusOptionsPane::OpusOptionsPane(QWidget* parent) : QWidget(parent) {
    bitrate_ = listBox("bitrate", kOpusBitrates);
    auto* grid = paneGrid(this);
    addPair(grid, 0, 0, "比特率", bitrate_);
}

void OpusOptionsPane::setValues(const OpusSettings& values) {
    select(bitrate_, values.bitrate);
}

OpusSettings OpusOptionsPane::values() const {
    return {selection(bitrate_)};
}

}  // namespace lumbra::gui
