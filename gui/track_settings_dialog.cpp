#include "gui/track_settings_dialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/encoder_panes.h"

namespace lumbra::gui {
namespace {

constexpr int kIconSize = 32;

QGroupBox* group(const char* caption, QWidget* content) {
    auto* box = new QGroupBox(caption);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

// A pane below the placeholder's top edge, centred, with its format's icon at the top left.
QWidget* placed(QWidget* pane, const char* format) {
    auto* icon = new QLabel;
    icon->setPixmap(QIcon(QString(":/icons/format-%1.svg").arg(format)).pixmap(kIconSize));
    auto* frame = new QWidget;
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(pane, 1, Qt::AlignTop);
    return frame;
}

}  // namespace

TrackSettingsDialog::TrackSettingsDialog(const DiscSession& session, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Lumbra CD Ripper 设置");
    const auto& tracks = session.tracks();
    const int32_t current = session.currentTrackIndex();
    const TrackEntry* track =
        current >= 0 && size_t(current) < tracks.size() ? &tracks[size_t(current)] : nullptr;

    title_ = new QLineEdit(track ? QString::fromStdString(track->title) : QString());
    title_->setObjectName("title");
    format_ = new QComboBox;
    format_->setObjectName("format");
    format_->addItems({"WAV 输出编码器", oggEncoderCaption(), mp3EncoderCaption(),
                       "微软 WMA 编码器", flacEncoderCaption(), opusEncoderCaption()});
    auto* ok = new QPushButton("确定");
    ok->setObjectName("ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton("取消");
    cancel->setObjectName("cancel");
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group("音轨标题", title_));
    layout->addWidget(group("编码器", format_));
    layout->addWidget(group("设置", buildPanes(session.settings().trackDialogSettings)));
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const int format = track ? track->format : kFormatWav;
    format_->setCurrentIndex(format >= 0 && format < format_->count() ? format : kFormatWav);
    formatChosen(format_->currentIndex());
    connect(format_, &QComboBox::activated, this, &TrackSettingsDialog::formatChosen);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// The stack shows one pane at a time, in format order; the hidden ones keep their values.
QWidget* TrackSettingsDialog::buildPanes(const EncoderSettings& values) {
    wav_ = new WavOptionsPane;
    ogg_ = new OggOptionsPane;
    mp3_ = new Mp3OptionsPane;
    wma_ = new WmaOptionsPane;
    flac_ = new FlacOptionsPane;
    opus_ = new OpusOptionsPane;
    wav_->setValues(values.wav);
    ogg_->setValues(values.ogg);
    mp3_->setValues(values.mp3);
    wma_->setValues(values.wma);
    flac_->setValues(values.flac);
    opus_->setValues(values.opus);
    panes_ = new QStackedWidget;
    panes_->setObjectName("panes");
    panes_->addWidget(placed(wav_, "wav"));
    panes_->addWidget(placed(ogg_, "ogg"));
    panes_->addWidget(placed(mp3_, "mp3"));
    panes_->addWidget(placed(wma_, "wma"));
    panes_->addWidget(placed(flac_, "flac"));
    panes_->addWidget(placed(opus_, "opus"));
    return panes_;
}

void TrackSettingsDialog::formatChosen(int index) {
    panes_->setCurrentIndex(index);
}

std::string TrackSettingsDialog::title() const {
    return title_->text().toStdString();
}

OutputFormat TrackSettingsDialog::format() const {
    return OutputFormat(format_->currentIndex());
}

EncoderSlots TrackSettingsDialog::block() const {
    switch (format()) {
        case kFormatWav:
            return toSlots(wav_->values());
        case kFormatOgg:
            return toSlots(ogg_->values());
        case kFormatMp3:
            return toSlots(mp3_->values());
        case kFormatWma:
            return toSlots(wma_->values());
        case kFormatFlac:
            return toSlots(flac_->values());
        case kFormatOpus:
            return toSlots(opus_->values());
    }
    return {};
}

}  // namespace lumbra::gui
