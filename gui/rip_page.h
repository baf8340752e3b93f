// The rip tab ("编码器"): drive box, track list, rip commands, encoder box, player controls and the
// status line. It shows the disc session's state and forwards the user's actions to it.
#pragma once

#include <QWidget>
#include <vector>

#include "cdaccess/drive_discovery.h"
#include "cdaccess/track_entry.h"

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QSlider;
class QTableView;
class QToolButton;

namespace lumbra::gui {

class TrackListModel;

class RipPage : public QWidget {
public:
    RipPage(const std::vector<DriveEntry>& drives, const std::vector<TrackEntry>& tracks,
            QWidget* parent);

    QComboBox* driveBox() const { return driveBox_; }
    QTableView* trackView() const { return trackView_; }
    QComboBox* encoderBox() const { return encoderBox_; }
    QLabel* statusLine() const { return status_; }
    QMenu* selectMenu() const { return selectMenu_; }
    QMenu* contextMenu() const { return contextMenu_; }
    TrackListModel& model() const { return *model_; }

    void setStatus(const std::string& text);

private:
    QWidget* buildButtons();
    QWidget* buildEncoderAndPlayer();
    void buildMenus();
    void fitColumns();

    TrackListModel* model_;
    QComboBox* driveBox_;
    QTableView* trackView_;
    QPushButton* refresh_;
    QPushButton* cddb_;
    QPushButton* convert_;
    QPushButton* stop_;
    QPushButton* select_;
    QComboBox* encoderBox_;
    QSlider* position_;
    QLabel* status_;
    QMenu* selectMenu_;
    QMenu* contextMenu_;
};

}  // namespace lumbra::gui
