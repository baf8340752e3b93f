// The rip tab ("编码器"): drive box, track list, rip commands, encoder box, player controls and the
// status line. It is the disc session's view: it shows what the session tells it has changed and
// forwards the user's actions; what a command may do and what it changes is the session's to
// decide.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/cd_player.h"
#include "app/disc_session.h"

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QTableView;

namespace lumbra::gui {

class TrackListModel;
class TrackSettingsDialog;

class RipPage : public QWidget, private PlayerDisplay, private SessionView {
    Q_OBJECT
public:
    // `outputs` make the player's audio outputs.
    RipPage(DiscSession& session, AudioOutputFactory outputs, QWidget* parent);

    QComboBox* driveBox() const { return driveBox_; }
    QTableView* trackView() const { return trackView_; }
    QComboBox* encoderBox() const { return encoderBox_; }
    QLabel* statusLine() const { return status_; }
    QMenu* selectMenu() const { return selectMenu_; }
    QMenu* contextMenu() const { return contextMenu_; }
    TrackListModel& model() const { return *model_; }
    QSlider* positionSlider() const { return position_; }
    CdPlayer& player() { return player_; }

    // The rows as the user left them: each row's tick and selection.
    std::vector<RowState> rowStates() const;

    // Runs the track settings dialog; true when it ended with OK. Tests replace it.
    std::function<bool(TrackSettingsDialog& dialog)> runTrackDialog = runModally;

Q_SIGNALS:
    // The session's disc record changed; the general page shows it again.
    void discRecordChanged();

private:
    static bool runModally(TrackSettingsDialog& dialog);
    QWidget* buildButtons();
    QWidget* buildEncoderAndPlayer();
    void buildMenus();
    void addShortcuts();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void fitColumns();
    void connectCommands();
    void addSelectItem(const char* caption, std::function<void()> command);

    void refreshCommand();
    void driveChosen(int index);
    void lookupCommand();
    void convertCommand();
    void stopCommand();
    void formatChosen(int index);
    void trackSettingsCommand();
    void checkCommand(CheckCommand command);
    void selectAllRows();
    void openSelectMenu();
    void openContextMenu(const QPoint& at);
    void showFormatOf(int row);
    void clockTick();
    void selectRowsFromEntries();
    int firstSelectedRow() const;

    void tracksReset() override;
    void rowChanged(int row) override;
    void statusChanged() override;
    void discChanged() override;
    void showCover();

    void showPlayerStatus(const std::string& text) override;
    void showIdleStatus() override;
    void setPosition(int percent) override;
    void runPlayerTimer(bool running) override;

    DiscSession& session_;
    TrackListModel* model_;
    QComboBox* driveBox_;
    QTableView* trackView_;
    QPushButton* select_;
    QComboBox* encoderBox_;
    QSlider* position_;
    QLabel* status_;
    QLabel* cover_ = nullptr;  // the album's front cover, when the lookup brought one
    QMenu* selectMenu_;
    QMenu* contextMenu_;
    QTimer ripClock_;
    QTimer playerClock_;
    CdPlayer player_;
    int ripClockSeconds_ = 0;
    int encoderPosition_;
};

}  // namespace lumbra::gui
