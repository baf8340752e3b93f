// The main window: a fixed-size dialog with the five tabs, the exit button and the home-page and
// help buttons. It runs modally for the whole run of the program.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "app/prompts.h"
#include "cdaccess/drive_discovery.h"
#include "cdaccess/track_entry.h"
#include "gui/settings_page.h"

class QTabWidget;

namespace lumbra::gui {

class AboutPage;
class AudioPage;
class CddbPage;
class GeneralPage;
class HelpLinks;
class MessageBoxPrompts;
class RipPage;
class UiThreadPrompts;

class MainWindow : public QDialog {
public:
    // `prompts` answers every message; without it the window shows message boxes.
    MainWindow(const PageContext& context, std::vector<DriveEntry> drives,
               Prompts* prompts = nullptr);
    ~MainWindow() override;

    QTabWidget* tabs() const { return tabs_; }
    GeneralPage& generalPage() const { return *general_; }
    AboutPage& aboutPage() const { return *about_; }
    RipPage& ripPage() const { return *rip_; }
    HelpLinks& helpLinks() const { return *help_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createPages(const PageContext& context);
    QWidget* buildBottomRow();
    void sizeFromFont();
    void exitCommand();

    std::unique_ptr<MessageBoxPrompts> boxes_;
    std::unique_ptr<UiThreadPrompts> prompts_;
    std::unique_ptr<HelpLinks> help_;
    std::vector<DriveEntry> drives_;
    std::vector<TrackEntry> tracks_;
    QTabWidget* tabs_;
    GeneralPage* general_;
    AudioPage* audio_;
    CddbPage* cddb_;
    AboutPage* about_;
    RipPage* rip_;
};

}  // namespace lumbra::gui
