#include "gui/main_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "cdaccess/disc_refresh.h"
#include "gui/about_page.h"
#include "gui/audio_page.h"
#include "gui/cddb_page.h"
#include "gui/general_page.h"
#include "gui/help_links.h"
#include "gui/message_box_prompts.h"
#include "gui/rip_page.h"
#include "gui/track_list_model.h"
#include "gui/ui_thread_prompts.h"

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

QToolButton* iconButton(const char* icon, const char* tooltip) {
    auto* button = new QToolButton;
    button->setIcon(QIcon(QString(":/icons/%1.svg").arg(icon)));
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

MainWindow::MainWindow(const PageContext& context, std::vector<DriveEntry> drives, Prompts* prompts)
    : drives_(std::move(drives)) {
    initIcons();
    if (!prompts) {
        boxes_ = std::make_unique<MessageBoxPrompts>(this);
        prompts = boxes_.get();
    }
    prompts_ = std::make_unique<UiThreadPrompts>(*prompts);
    help_ = std::make_unique<HelpLinks>(*prompts_);
    setWindowTitle("Lumbra CD Ripper");
    setWindowIcon(QIcon(":/icons/lumbra-cdripper.svg"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    tabs_ = new QTabWidget;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buildBottomRow());
    createPages(context);
    sizeFromFont();
}

MainWindow::~MainWindow() = default;

void MainWindow::createPages(const PageContext& context) {
    general_ = new GeneralPage(context, this);
    general_->load();
    audio_ = new AudioPage(context, this);
    audio_->load();
    cddb_ = new CddbPage(context, this);
    cddb_->load();
    about_ = new AboutPage(this);
    rip_ = new RipPage(drives_, tracks_, this);

    tabs_->addTab(rip_, "编码器");
    tabs_->addTab(general_, "全局设置");
    tabs_->addTab(audio_, "音频设置");
    tabs_->addTab(cddb_, "CDDB");
    tabs_->addTab(about_, "关于");
    tabs_->setCurrentWidget(rip_);

    if (refreshDisc(*prompts_, drives_, 0, tracks_, context.settings, false) == 0) {
        tracks_.front().selected = 1;
    }
    rip_->model().rebuild();

    connect(about_, &AboutPage::helpRequested, this, [this] { help_->open(); });
    connect(about_, &AboutPage::linkActivated, this,
            [this](const QString& section) { help_->open(section.toStdString()); });
}

QWidget* MainWindow::buildBottomRow() {
    auto* home = iconButton("home", "主页");
    auto* help = iconButton("help", "获取帮助");
    auto* exit = new QPushButton("退出");
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
    layout()->setSizeConstraint(QLayout::SetFixedSize);
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
    close();
}

}  // namespace lumbra::gui
