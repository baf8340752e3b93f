// The main window: a fixed-size dialog with the five tabs, the exit button and the home-page and
// help buttons, over the disc session it owns. It runs modally for the whole run of the program.
#pragma once

#include <QDialog>
#include <memory>

#include "app/disc_session.h"
#include "gui/settings_page.h"
#include "player/audio_output.h"

class QScrollArea;
class QTabWidget;

namespace lumbra::gui {

class AboutPage;
class AudioPage;
class CddbPage;
class GeneralPage;
class HelpLinks;
class MessageBoxPrompts;
class QueuedEventSink;
class RipNotification;
class RipPage;
class UiThreadPrompts;

struct WindowOptions {
    Prompts* prompts = nullptr;  // answers every message; without it, message boxes do
    CddbTimeouts lookupTimeouts;
    AudioOutputFactory audioOutputs;  // the player's; without it, the desktop's sound device
    std::string device;               // the drive to show first, as named at start-up
    bool tipsAtStart = false;         // the tip of the day over the window once it is shown
    bool notifyDesktop = true;        // a rip's end told through the desktop's notifications
};

class MainWindow : public QDialog, private EditablePages {
public:
    // Builds the drive list, creates the pages in their order (each loads its settings), reads
    // the disc in the chosen drive and, when the settings ask for it, starts the first lookup.
    MainWindow(const PageContext& context, const WindowOptions& options = {});
    // Stops a running job and waits for it.
    ~MainWindow() override;

    DiscSession& session() const { return *session_; }
    QTabWidget* tabs() const { return tabs_; }
    GeneralPage& generalPage() const { return *general_; }
    AudioPage& audioPage() const { return *audio_; }
    CddbPage& cddbPage() const { return *cddb_; }
    AboutPage& aboutPage() const { return *about_; }
    RipPage& ripPage() const { return *rip_; }
    HelpLinks& helpLinks() const { return *help_; }

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    PageEdits readPages() override;
    void createPages(const PageContext& context, AudioOutputFactory audioOutputs);
    void chooseStartDrive(const std::string& device);
    QWidget* buildBottomRow();
    void sizeFromFont();
    void exitCommand();
    void showTips();
    void endJobs();

    const SettingsStore& store_;
    std::unique_ptr<MessageBoxPrompts> boxes_;
    std::unique_ptr<UiThreadPrompts> prompts_;
    std::unique_ptr<HelpLinks> help_;
    std::unique_ptr<QueuedEventSink> events_;
    RipNotification* notification_;
    std::unique_ptr<DiscSession> session_;
    QTabWidget* tabs_;
    QScrollArea* scroller_;  // holds the pages and the buttons below them
    GeneralPage* general_;
    AudioPage* audio_;
    CddbPage* cddb_;
    AboutPage* about_;
    RipPage* rip_;
};

}  // namespace lumbra::gui
