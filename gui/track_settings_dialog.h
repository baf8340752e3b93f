// The track settings dialog ("音轨设置"): the title of the current track, and one format with
// settings of its own for the selected tracks. It changes nothing itself; whoever runs it takes
// title(), format() and block() after OK.
#pragma once

#include <QDialog>

#include "app/disc_session.h"

class QComboBox;
class QLineEdit;
class QStackedWidget;

namespace lumbra::gui {

class FlacOptionsPane;
class Mp3OptionsPane;
class OggOptionsPane;
class OpusOptionsPane;
class WavOptionsPane;
class WmaOptionsPane;

class TrackSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the title and format of the session's current track (an empty title and WAV when
    // there is none) and, in every pane, the settings' trackDialogSettings.
    TrackSettingsDialog(const DiscSession& session, QWidget* parent);

    std::string title() const;
    OutputFormat format() const;
    // The settings of the chosen format's pane, as a track stores them.
    EncoderSlots block() const;

private:
    QWidget* buildPanes(const EncoderSettings& values);
    void formatChosen(int index);

    QLineEdit* title_;
    QComboBox* format_;
    QStackedWidget* panes_;
    WavOptionsPane* wav_;
    OggOptionsPane* ogg_;
    Mp3OptionsPane* mp3_;
    WmaOptionsPane* wma_;
    FlacOptionsPane* flac_;
    OpusOptionsPane* opus_;
};

}  // namespace lumbra::gui
