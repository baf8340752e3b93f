#include "gui/rip_page.h"
#include "gui/icon_button.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/drive_labels.h"
#include "app/track_row_texts.h"
#include "gui/track_list_model.h"
#include "gui/track_settings_dialog.h"
#include "rip/output_formats.h"

namespace lumbra::gui {
namespace {

constexpr int kRipClockPeriodMs = 1000;

QPushButton* commandButton(const char* name, const char* caption, const char* tooltip) {
    auto* button = new QPushButton(QIcon(QString(":/icons/%1.svg").arg(name)), caption);
    button->setObjectName(name);
    button->setToolTip(tooltip);
    button->setAutoDefault(false);
    return button;
}

// A selection that stays as visible without focus as with it.
void keepSelectionVisible(QWidget& view) {
    QPalette palette = view.palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    view.setPalette(palette);
}

}  // namespace

RipPage::RipPage(DiscSession& session, AudioOutputFactory outputs, QWidget* parent)
    : QWidget(parent),
      session_(session),
      model_(new TrackListModel(session.tracks(), this)),
      player_(session, *this, std::move(outputs)),
      encoderPosition_(session.settings().defaultFormat) {
    session.setPlayback(&player_);
    session.setView(this);
    model_->isDataTrack = [this](int row) { return session_.isDataTrack(row); };
    driveBox_ = new QComboBox;
    driveBox_->setObjectName("driveBox");
    for (const std::string& label : driveLabels(session.drives())) {
        driveBox_->addItem(QString::fromStdString(label));
    }
    auto* device = new QLabel("设备:");
    device->setBuddy(driveBox_);

    trackView_ = new QTableView;
    trackView_->setObjectName("trackList");
    trackView_->setModel(model_);
    trackView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    trackView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    trackView_->setShowGrid(false);
    trackView_->setWordWrap(false);
    trackView_->verticalHeader()->hide();
    trackView_->setContextMenuPolicy(Qt::CustomContextMenu);
    trackView_->setIconSize(QSize(16, 16));
    keepSelectionVisible(*trackView_);

    status_ = new QLabel;
    status_->setObjectName("status");
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusChanged();

    auto* layout = new QGridLayout(this);
    layout->addWidget(device, 0, 0);
    layout->addWidget(driveBox_, 0, 1, 1, 2);
    layout->addWidget(trackView_, 1, 0, 1, 2);
    layout->addWidget(buildButtons(), 1, 2);
    layout->addWidget(buildEncoderAndPlayer(), 2, 0, 1, 3);
    layout->addWidget(status_, 3, 0, 1, 3);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);
    buildMenus();
    addShortcuts();
    fitColumns();
    connectCommands();
}

QWidget* RipPage::buildButtons() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* refresh = commandButton("refresh", "刷新(&R)", "刷新 CD-Rom");
    auto* cddb = commandButton("cddb", "&CDDB", "连接到 CDDB");
    auto* convert = commandButton("convert", "转换(&V)", "转换选定的音轨");
    auto* stop = commandButton("stop", "停止(&T)", "停止转换");
    select_ = commandButton("select", "选择(&S)", "选择要抓取的音轨");
    for (auto* button : {refresh, cddb, convert, stop, select_}) layout->addWidget(button);
    layout->addStretch();
    // The album's front cover below the commands, as wide as they are; hidden without one.
    cover_ = new QLabel;
    cover_->setObjectName("cover");
    cover_->setAlignment(Qt::AlignCenter);
    cover_->setToolTip("专辑封面");
    cover_->hide();
    layout->addWidget(cover_);
    connect(refresh, &QPushButton::clicked, this, &RipPage::refreshCommand);
    connect(cddb, &QPushButton::clicked, this, &RipPage::lookupCommand);
    connect(convert, &QPushButton::clicked, this, &RipPage::convertCommand);
    connect(stop, &QPushButton::clicked, this, &RipPage::stopCommand);
    connect(select_, &QPushButton::clicked, this, &RipPage::openSelectMenu);
    return column;
}

QWidget* RipPage::buildEncoderAndPlayer() {
    encoderBox_ = new QComboBox;
    encoderBox_->setObjectName("encoderBox");
    // The table lists the formats in the order of their codes, so a position is a format.
    for (const OutputFormatEntry& format : outputFormats()) {
        const QString name = QString(format.extension).mid(1);
        encoderBox_->addItem(QIcon(QString(":/icons/format-%1.svg").arg(name)), name.toUpper());
    }
    encoderBox_->setCurrentIndex(encoderPosition_);
    auto* encoder = new QLabel("编码器:");
    encoder->setBuddy(encoderBox_);
    position_ = new QSlider(Qt::Horizontal);
    position_->setObjectName("position");
    position_->setRange(0, 100);

    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(encoder);
    layout->addWidget(encoderBox_);
    layout->addSpacing(fontMetrics().averageCharWidth() * 2);
    const std::pair<QToolButton*, std::function<void()>> buttons[] = {
        {iconButton("play", "播放"), [this] { player_.play(firstSelectedRow()); }},
        {iconButton("pause", "暂停"), [this] { player_.togglePause(firstSelectedRow()); }},
        {iconButton("stop-playing", "停止"), [this] { player_.stop(); }},
        {iconButton("eject", "打开/关闭"), [this] { player_.toggleTray(); }},
    };
    for (const auto& [button, command] : buttons) {
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, command);
    }
    layout->addWidget(position_, 1);
    connect(position_, &QSlider::sliderMoved, this,
            [this](int percent) { player_.onSliderDrag(percent); });
    return row;
}

void RipPage::addSelectItem(const char* caption, std::function<void()> command) {
    connect(selectMenu_->addAction(caption), &QAction::triggered, this, std::move(command));
}

void RipPage::buildMenus() {
    selectMenu_ = new QMenu(this);
    addSelectItem("全部检查(&C)\tCtrl+C", [this] { checkCommand(CheckCommand::CheckAll); });
    addSelectItem("全部不选(&U)    \tCtrl+U", [this] { checkCommand(CheckCommand::UncheckAll); });
    addSelectItem("反选(&V)", [this] { checkCommand(CheckCommand::Invert); });
    addSelectItem("全部选择(&A) \t Ctrl+A", [this] { selectAllRows(); });
    addSelectItem("检查选定(&S)", [this] { checkCommand(CheckCommand::CheckSelected); });

    contextMenu_ = new QMenu("设置", this);
    connect(contextMenu_->addAction("音轨设置"), &QAction::triggered, this,
            &RipPage::trackSettingsCommand);
    contextMenu_->addSeparator();
    connect(contextMenu_->addAction("全部刷新"), &QAction::triggered, this,
            &RipPage::refreshCommand);
    connect(contextMenu_->addAction("获取CDDB信息"), &QAction::triggered, this,
            &RipPage::lookupCommand);
    contextMenu_->addSeparator();
    connect(contextMenu_->addAction("选择/反选音轨"), &QAction::triggered, this,
            [this] { checkCommand(CheckCommand::InvertSelected); });
    contextMenu_->addSeparator();
    connect(contextMenu_->addAction("播放"), &QAction::triggered, this,
            [this] { player_.play(firstSelectedRow()); });
    connect(contextMenu_->addAction("停止播放"), &QAction::triggered, this,
            [this] { player_.stop(); });
}

// The keys the select menu names work without opening it. The page's Ctrl+A also stands in for
// the list's own, which would select rows during a rip behind the session's back.
void RipPage::addShortcuts() {
    const std::pair<QKeyCombination, std::function<void()>> keys[] = {
        {Qt::CTRL | Qt::Key_C, [this] { checkCommand(CheckCommand::CheckAll); }},
        {Qt::CTRL | Qt::Key_U, [this] { checkCommand(CheckCommand::UncheckAll); }},
        {Qt::CTRL | Qt::Key_A, [this] { selectAllRows(); }},
    };
    for (const auto& [key, command] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, command);
    }
    // Tab moves on to the next control instead of from cell to cell; Space ticks the current
    // row whichever of its cells has the focus.
    trackView_->setTabKeyNavigation(false);
    trackView_->installEventFilter(this);
}

bool RipPage::eventFilter(QObject* watched, QEvent* event) {
    const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
    if (watched != trackView_ || !key || key->key() != Qt::Key_Space ||
        key->modifiers() != Qt::NoModifier) {
        return QWidget::eventFilter(watched, event);
    }
    const int row = trackView_->currentIndex().row();
    if (row >= 0) {
        model_->setData(model_->index(row, TrackListModel::kTitle),
                        model_->ticked(row) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }
    return true;
}

// The widths were drawn for a font whose average character is 6 pixels wide; each column is also
// wide enough for its longest usual text in the font in use.
void RipPage::fitColumns() {
    static constexpr const char* kWidestTexts[TrackListModel::kColumnCount] = {
        "音轨 00（数据音轨）", "00:00", "OGG - [ VBR Q0.45 (141 kbps) ]", "已完成",
        "准确 (置信度 200)"};
    const QFontMetrics metrics = trackView_->fontMetrics();
    const double scale = std::max(1.0, metrics.averageCharWidth() / 6.0);
    const int padding = metrics.averageCharWidth() * 3;
    int total = 0;
    for (int column = 0; column < TrackListModel::kColumnCount; ++column) {
        int width = std::max(int(kColumnWidths[column] * scale),
                             metrics.horizontalAdvance(kWidestTexts[column]) + padding);
        if (column == TrackListModel::kTitle) width += 16 + padding;  // check box and icon
        trackView_->horizontalHeader()->resizeSection(column, width);
        total += width;
    }
    trackView_->horizontalHeader()->setStretchLastSection(true);
    trackView_->verticalHeader()->setDefaultSectionSize(std::max(18, metrics.height() + 4));
    trackView_->setMinimumWidth(total + trackView_->frameWidth() * 2 +
                                trackView_->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

void RipPage::connectCommands() {
    connect(driveBox_, &QComboBox::activated, this, &RipPage::driveChosen);
    connect(encoderBox_, &QComboBox::activated, this, &RipPage::formatChosen);
    connect(trackView_, &QTableView::customContextMenuRequested, this, &RipPage::openContextMenu);
    connect(trackView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showFormatOf(current.row()); });
    connect(model_, &TrackListModel::rowTicked, this, &RipPage::showFormatOf);
    ripClock_.setInterval(kRipClockPeriodMs);
    connect(&ripClock_, &QTimer::timeout, this, &RipPage::clockTick);
    playerClock_.setInterval(kPlayerTimerPeriodMs);
    connect(&playerClock_, &QTimer::timeout, this, [this] { player_.onPlayerTimer(); });
}

std::vector<RowState> RipPage::rowStates() const {
    std::vector<RowState> rows(size_t(model_->rowCount()));
    for (int row = 0; row < model_->rowCount(); ++row)
        rows[size_t(row)].checked = model_->ticked(row);
    for (const QModelIndex& index : trackView_->selectionModel()->selectedRows()) {
        if (size_t(index.row()) < rows.size()) rows[size_t(index.row())].selected = true;
    }
    return rows;
}

void RipPage::selectRowsFromEntries() {
    QItemSelection selection;
    const auto& tracks = session_.tracks();
    for (size_t row = 0; row < tracks.size(); ++row) {
        if (tracks[row].selected)
            selection.select(model_->index(int(row), 0), model_->index(int(row), 0));
    }
    auto* selectionModel = trackView_->selectionModel();
    selectionModel->select(selection,
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void RipPage::refreshCommand() {
    session_.refreshCommand();
}

void RipPage::driveChosen(int index) {
    if (session_.chooseDrive(index) == CommandResult::Refused)
        driveBox_->setCurrentIndex(session_.settings().driveIndex);
}

void RipPage::lookupCommand() {
    session_.requestLookup(true);
}

void RipPage::convertCommand() {
    if (session_.convert() != ConvertResult::Started) return;
    ripClockSeconds_ = 0;
    ripClock_.start();
}

void RipPage::stopCommand() {
    session_.stopRip();
}

void RipPage::formatChosen(int index) {
    if (session_.setFormatOfSelected(OutputFormat(index)) == CommandResult::Refused) {
        encoderBox_->setCurrentIndex(encoderPosition_);
        return;
    }
    encoderPosition_ = index;
}

bool RipPage::runModally(TrackSettingsDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

void RipPage::trackSettingsCommand() {
    if (session_.prepareTrackSettings() == CommandResult::Refused) return;
    TrackSettingsDialog dialog(session_, this);
    if (!runTrackDialog(dialog)) return;
    session_.applyTrackSettings(dialog.title(), dialog.format(), dialog.block());
}

void RipPage::checkCommand(CheckCommand command) {
    session_.applyCheckCommand(command);
}

void RipPage::selectAllRows() {
    session_.selectAllRows();
}

void RipPage::openSelectMenu() {
    if (session_.openSelectMenu() == CommandResult::Refused) return;
    selectMenu_->exec(select_->mapToGlobal(QPoint(0, select_->height())));
}

void RipPage::openContextMenu(const QPoint& at) {
    if (session_.pointAtTrack(trackView_->rowAt(at.y())) == CommandResult::Refused) return;
    contextMenu_->exec(trackView_->viewport()->mapToGlobal(at));
}

// The encoder box shows the format of the row that changed state.
void RipPage::showFormatOf(int row) {
    const auto& tracks = session_.tracks();
    if (row < 0 || size_t(row) >= tracks.size()) return;
    const int format = tracks[size_t(row)].format;
    if (format < 0 || format >= encoderBox_->count()) return;
    encoderBox_->setCurrentIndex(format);
    encoderPosition_ = format;
}

void RipPage::tracksReset() {
    model_->rewriteAll();
    selectRowsFromEntries();
    showFormatOf(firstSelectedRow());
}

void RipPage::rowChanged(int row) {
    model_->redrawRow(row);
    if (row == firstSelectedRow()) showFormatOf(row);
}

void RipPage::statusChanged() {
    status_->setText(QString::fromStdString(session_.statusText()));
}

void RipPage::discChanged() {
    showCover();
    Q_EMIT discRecordChanged();
}

void RipPage::showCover() {
    if (!cover_) return;
    const std::string& image = session_.disc().coverArt;
    QPixmap pixmap;
    if (image.empty() ||
        !pixmap.loadFromData(reinterpret_cast<const uchar*>(image.data()), uint(image.size()))) {
        cover_->clear();
        cover_->hide();
        return;
    }
    const int side = std::max(select_->sizeHint().width(), fontMetrics().height() * 5);
    cover_->setPixmap(pixmap.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    cover_->show();
}

void RipPage::clockTick() {
    if (session_.ripRunningFlag() == 0) {
        ripClock_.stop();
        ripClockSeconds_ = 0;
        return;
    }
    status_->setText(QString::fromStdString(ripClockText(++ripClockSeconds_)));
}

int RipPage::firstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : trackView_->selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) first = index.row();
    }
    return first;
}

void RipPage::showPlayerStatus(const std::string& text) {
    status_->setText(QString::fromStdString(text));
}

void RipPage::showIdleStatus() {
    statusChanged();
}

void RipPage::setPosition(int percent) {
    position_->setValue(percent);
}

void RipPage::runPlayerTimer(bool running) {
    if (running) {
        playerClock_.start();
    } else {
        playerClock_.stop();
    }
}

}  // namespace lumbra::gui
