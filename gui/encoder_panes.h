// The controls of one output format, the same widget on the encoder page and in the track
// settings dialog: its lists, its rules between controls, and its block of settings in and out.
// A box without selection reads -1.
#pragma once

#include <QWidget>

#include "settings/encoder_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace lumbra::gui {

// The group captions that name an encoder, with the version of the library in use.
QString mp3EncoderCaption();
QString oggEncoderCaption();
QString flacEncoderCaption();
QString opusEncoderCaption();

class WavOptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit WavOptionsPane(QWidget* parent = nullptr);
    void setValues(const WavSettings& values);
    WavSettings values() const;

private:
    QComboBox* sampleRate_;
    QComboBox* channels_;
    QComboBox* sampleSize_;
};

class Mp3OptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit Mp3OptionsPane(QWidget* parent = nullptr);
    void setValues(const Mp3Settings& values);
    Mp3Settings values() const;

private:
    QComboBox* sampleRate_;
    QComboBox* channels_;
    QComboBox* bitrate_;
    QComboBox* preset_;
    QCheckBox* vbr_;
    QComboBox* vbrMax_;
    QComboBox* vbrQuality_;
};

// BBR and VBR are never on together; the CBR flag, which no control shows, is 1 when both are
// off.
class OggOptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit OggOptionsPane(QWidget* parent = nullptr);
    void setValues(const OggSettings& values);
    OggSettings values() const;

private:
    void qualityMoved(int position);
    void bbrClicked();
    void vbrClicked();
    void updateCbr();

    QComboBox* sampleRate_;
    QComboBox* channels_;
    QComboBox* bitrate_;
    QCheckBox* bbr_;
    QComboBox* bbrMin_;
    QComboBox* bbrNominal_;
    QComboBox* bbrMax_;
    QCheckBox* vbr_;
    QSlider* quality_;
    QLabel* qualityText_;
    int32_t cbr_ = 0;
};

// The rate list follows the bitrate: its index picks from the rates of the bitrate beside it.
// The stored rights-management flag passes through untouched; the writer puts no protection into
// a file, so the box never shows it on.
class WmaOptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit WmaOptionsPane(QWidget* parent = nullptr);
    void setValues(const WmaSettings& values);
    WmaSettings values() const;

private:
    void bitrateChosen(int index);
    void fillRates(int32_t bitrateIndex);

    QComboBox* bitrate_;
    QComboBox* sampleRate_;
    QCheckBox* drm_;
    int32_t drmFlag_ = 0;
};

class FlacOptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit FlacOptionsPane(QWidget* parent = nullptr);
    void setValues(const FlacSettings& values);
    FlacSettings values() const;

private:
    QComboBox* level_;
    QCheckBox* verify_;
};

class OpusOptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit OpusOptionsPane(QWidget* parent = nullptr);
    void setValues(const OpusSettings& values);
    OpusSettings values() const;

private:
    QComboBox* bitrate_;
};

}  // namespace lumbra::gui
