// The global settings tab ("全局设置"): the disc's common tag fields beside the output settings.
// The tag fields reach the disc record only through the main window's commit.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "gui/settings_page.h"
#include "metadata/disc_record.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace lumbra::gui {

// What the commit takes from the page.
struct TagFields {
    DiscRecord disc;
    bool tagSwitch = false;
    std::string folder;
};

class GeneralPage : public SettingsPage {
public:
    GeneralPage(const PageContext& context, QWidget* parent);

    void load() override;

    TagFields tagFields() const;
    // Shows the record's artist, album, year, genre and comment.
    void showDisc(const DiscRecord& disc);

    // The folder browser; returns the chosen path, empty when cancelled. Tests replace it.
    std::function<QString(QWidget* parent)> chooseFolder;
    // Whether a rip job runs, during which the folder cannot change.
    std::function<bool()> ripBusy = [] { return false; };
    // The chosen drive's model, empty without a drive: the read offset shown is that model's.
    std::function<std::string()> driveModel = [] { return std::string(); };
    // 检测偏移: starts looking for the drive's offset; false when the search cannot start.
    std::function<bool()> startOffsetSearch = [] { return false; };
    // Whether a search runs, during which 检测偏移 waits.
    std::function<bool()> offsetSearchRunning = [] { return false; };

    // Shows the read offset of the chosen drive's model, and whether a search runs.
    void showReadOffset();
    // A search ended; `chosen`: the offset the user chose to store for the drive's model.
    void offsetSearchEnded(std::optional<int32_t> chosen);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildTagGroup();
    QWidget* buildOutputGroup();
    QWidget* buildJitterGroup();
    QWidget* buildOffsetGroup();
    void offsetEdited(int offset);
    void detectOffset();
    void templateChanged(const QString& text);
    void showExample();
    void chooseOutputFolder();
    void setJitterMode(int32_t mode);
    void apply();

    QCheckBox* tagSwitch_;
    QLineEdit* artist_;
    QLineEdit* album_;
    QComboBox* genre_;
    QLineEdit* year_;
    QLineEdit* comment_;
    QCheckBox* overwrite_;
    QCheckBox* antiCrackle_;
    QCheckBox* replayGain_;
    QCheckBox* testAndCopy_;
    QCheckBox* ejectAfterRip_;
    QSpinBox* readOffset_;
    QPushButton* detectOffset_;
    QLabel* offsetSearch_;
    QLineEdit* folder_;
    QComboBox* template_;
    QLineEdit* example_;
    QRadioButton* jitterAlways_;
    QRadioButton* jitterNever_;
    QRadioButton* jitterOnErrors_;
};

}  // namespace lumbra::gui
