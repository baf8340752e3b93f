#include "gui/main_window.h"
#include "gui/icon_button.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

#include "app/read_offset_settings.h"
#include "gui/about_page.h"
#include "gui/audio_page.h"
#include "gui/cddb_page.h"
#include "gui/desktop_audio_output.h"
#include "gui/general_page.h"
#include "gui/help_links.h"
#include "gui/message_box_prompts.h"
#include "gui/posted_messages.h"
#include "gui/rip_notification.h"
#include "gui/rip_page.h"
#include "gui/tip_dialog.h"
#include "gui/track_list_model.h"
#include "gui/ui_thread_prompts.h"
#include "settings/settings_loaders.h"

// The icons are compiled into the static GUI library, whose resource initialiser the linker
// would drop without a call.
static void initIcons() {
    Q_INIT_RESOURCE(resources);
}

namespace lumbra::gui {
namespace {

// The window's proportions in dialog units: a quarter of the font's average character width
// across, an eighth of its height down.
constexpr int kWidthUnits = 411;
constexpr int kHeightUnits = 277;

}  // namespace

MainWindow::MainWindow(const PageContext& context, const WindowOptions& options)
    : store_(context.store) {
    initIcons();
    Prompts* prompts = options.prompts;
    if (!prompts) {
        boxes_ = std::make_unique<MessageBoxPrompts>(this);
        prompts = boxes_.get();
    }
    prompts_ = std::make_unique<UiThreadPrompts>(*prompts);
    help_ = std::make_unique<HelpLinks>(*prompts_, context.programHome, this);
    events_ = std::make_unique<QueuedEventSink>(*this);
    notification_ = new RipNotification(
        this, options.notifyDesktop ? QDBusConnection::sessionBus() : QDBusConnection(QString()));
    EditablePages* pages = this;
    session_ = std::make_unique<DiscSession>(context.settings, *prompts_, *events_, pages,
                                             options.lookupTimeouts);
    session_->buildDriveList();
    std::vector<std::string> models;
    for (const DriveEntry& drive : session_->drives()) models.push_back(drive.model);
    loadReadOffsets(store_, context.settings, models);

    setWindowTitle("Lumbra CD Ripper");
    setWindowIcon(QIcon(":/icons/lumbra-cdripper.svg"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    tabs_ = new QTabWidget;
    // On a screen smaller than the pages need (a laptop at twice the scale) the pages scroll
    // instead of leaving controls off the screen or cutting their captions.
    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->addWidget(tabs_);
    contentLayout->addWidget(buildBottomRow());
    scroller_ = new QScrollArea;
    scroller_->setObjectName("pageScroller");
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setWidgetResizable(true);
    scroller_->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroller_);
    createPages(context, options.audioOutputs ? options.audioOutputs : desktopAudioOutputs());
    chooseStartDrive(options.device);
    rip_->trackView()->setFocus();  // the keys a user without a mouse presses first are the list's
    sizeFromFont();
    session_->firstRefresh();
    // Queued, so the tip comes up once the window is on the screen, over it.
    if (options.tipsAtStart) QTimer::singleShot(0, this, &MainWindow::showTips);
}

MainWindow::~MainWindow() {
    endJobs();
    // The rip page and its player go after the session, with the window's children.
    session_->setPlayback(nullptr);
    session_->setView(nullptr);
}

void MainWindow::chooseStartDrive(const std::string& device) {
    if (device.empty()) return;
    if (session_->chooseStartDrive(device)) {
        rip_->driveBox()->setCurrentIndex(session_->settings().driveIndex);
        general_->showReadOffset();
    } else {
        std::fprintf(stderr, "lumbra-cdripper: no drive %s; showing the first drive\n",
                     device.c_str());
    }
}

void MainWindow::createPages(const PageContext& context, AudioOutputFactory audioOutputs) {
    general_ = new GeneralPage(context, this);
    general_->load();
    general_->ripBusy = [this] { return session_->ripping(); };
    general_->driveModel = [this] {
        const auto& drives = session_->drives();
        const int index = session_->settings().driveIndex;
        return index >= 0 && size_t(index) < drives.size() ? drives[size_t(index)].model
                                                           : std::string();
    };
    general_->startOffsetSearch = [this] {
        return session_->startOffsetSearch() == CommandResult::Done;
    };
    general_->offsetSearchRunning = [this] { return session_->offsetSearchRunning(); };
    audio_ = new AudioPage(context, this);
    audio_->load();
    audio_->applyEncoderDefaults = [this] { session_->applyEncoderDefaultsToAll(); };
    cddb_ = new CddbPage(context, this);
    cddb_->load();
    cddb_->prompts = prompts_.get();
    cddb_->ripBusy = [this] { return session_->ripping(); };
    about_ = new AboutPage(this);
    rip_ = new RipPage(*session_, std::move(audioOutputs), this);

    // Alt and the letter in brackets reaches each page, as the buttons' letters reach them.
    tabs_->addTab(rip_, "编码器(&E)");
    tabs_->addTab(general_, "全局设置(&G)");
    tabs_->addTab(audio_, "音频设置(&U)");
    tabs_->addTab(cddb_, "CDDB(&D)");
    tabs_->addTab(about_, "关于(&A)");
    tabs_->setCurrentWidget(rip_);

    connect(rip_, &RipPage::discRecordChanged, this,
            [this] { general_->showDisc(session_->disc()); });
    // Connected after the rip page's own handler, so the session has taken the choice (or
    // refused it) when the general page shows the drive's offset.
    connect(rip_->driveBox(), &QComboBox::activated, general_, &GeneralPage::showReadOffset);
    connect(about_, &AboutPage::helpRequested, this, [this] { help_->open(); });
    connect(about_, &AboutPage::tipRequested, this, &MainWindow::showTips);
    connect(about_, &AboutPage::linkActivated, this,
            [this](const QString& section) { help_->open(section.toStdString()); });
}

QWidget* MainWindow::buildBottomRow() {
    auto* home = iconButton("home", "主页");
    auto* help = iconButton("help", "获取帮助");
    auto* exit = new QPushButton("退出(&X)");
    exit->setObjectName("exit");
    exit->setAutoDefault(false);
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(home);
    layout->addWidget(help);
    layout->addStretch();
    layout->addWidget(exit);
    connect(home, &QToolButton::clicked, this, [this] { help_->open(kHomePageSection); });
    connect(help, &QToolButton::clicked, this, [this] { help_->open(); });
    connect(exit, &QPushButton::clicked, this, &MainWindow::exitCommand);
    return row;
}

// The layout decides the size, at least the proportions of the original dialog in this font,
// and the window keeps it.
void MainWindow::sizeFromFont() {
    const QFontMetrics metrics = fontMetrics();
    tabs_->setMinimumSize(kWidthUnits * metrics.averageCharWidth() / 4,
                          kHeightUnits * metrics.height() / 8 - metrics.height() * 3);
    // The window opens at the size the pages need, or the screen's when that is smaller, and may
    // grow: the track list takes the room.
    QWidget* content = scroller_->widget();
    const QSize needed = content->sizeHint();
    content->setMinimumSize(needed);  // below it the pages scroll, never squeeze
    const QSize fitting = needed.boundedTo(screen()->availableGeometry().size() * 9 / 10);
    setMinimumSize(fitting);
    resize(fitting);
}

PageEdits MainWindow::readPages() {
    const TagFields fields = general_->tagFields();
    PageEdits edits;
    edits.driveIndex = rip_->driveBox()->currentIndex();
    edits.disc = fields.disc;
    edits.outputFolder = fields.folder;
    edits.id3Enable = fields.tagSwitch;
    edits.rows = rip_->rowStates();
    return edits;
}

bool MainWindow::event(QEvent* event) {
    if (event->type() != WindowMessageEvent::eventType()) return QDialog::event(event);
    const auto& posted = *static_cast<WindowMessageEvent*>(event);
    switch (posted.message) {
        case WM_RIP_PROGRESS:
            session_->ripProgress(static_cast<const TrackEntry*>(posted.lParam));
            break;
        case WM_RIP_DONE:
            if (const auto finished = session_->finishRip()) notification_->ripEnded(*finished);
            break;
        case WM_LOOKUP_DONE:
            session_->finishLookup(posted.wParam);
            break;
        case WM_OFFSET_DONE:
            if (const auto detection = session_->finishOffsetSearch(posted.wParam)) {
                general_->offsetSearchEnded(offerFoundOffset(*prompts_, *detection));
            }
            break;
        default:
            break;
    }
    return true;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

void MainWindow::exitCommand() {
    if (session_->exitCommand() == CommandResult::Done) close();
}

void MainWindow::showTips() {
    TipDialog(store_, this).exec();
}

// Closing during a job ends it first: a rip's current track is cancelled and its file removed,
// as with the stop button, so no half-written file is left looking finished.
void MainWindow::closeEvent(QCloseEvent* event) {
    endJobs();
    QDialog::closeEvent(event);
}

void MainWindow::endJobs() {
    if (!session_) return;
    prompts_->abandon();  // a worker waiting for an answer must not wait for us
    session_->stopOffsetSearch();
    if (session_->ripping()) {
        session_->stopRip();
        session_->finishRip();
    }
}

}  // namespace lumbra::gui
