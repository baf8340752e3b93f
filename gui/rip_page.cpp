#include "gui/rip_page.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/track_list_model.h"

namespace lumbra::gui {
namespace {

QPushButton* commandButton(const char* icon, const char* caption, const char* tooltip) {
    auto* button = new QPushButton(QIcon(QString(":/icons/%1.svg").arg(icon)), caption);
    button->setToolTip(tooltip);
    button->setAutoDefault(false);
    return button;
}

QToolButton* playerButton(const char* icon, const char* tooltip) {
    auto* button = new QToolButton;
    button->setIcon(QIcon(QString(":/icons/%1.svg").arg(icon)));
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
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

RipPage::RipPage(const std::vector<DriveEntry>& drives, const std::vector<TrackEntry>& tracks,
                 QWidget* parent)
    : QWidget(parent), model_(new TrackListModel(tracks, this)) {
    driveBox_ = new QComboBox;
    for (const DriveEntry& drive : drives)
        driveBox_->addItem(QString::fromStdString(drive.description));
    auto* device = new QLabel("设备:");
    device->setBuddy(driveBox_);

    trackView_ = new QTableView;
    trackView_->setModel(model_);
    trackView_->setSelectionBehavior(QAbstractItemView::SelectRows);
    trackView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    trackView_->setShowGrid(false);
    trackView_->setWordWrap(false);
    trackView_->verticalHeader()->hide();
    trackView_->setContextMenuPolicy(Qt::CustomContextMenu);
    trackView_->setIconSize(QSize(16, 16));
    keepSelectionVisible(*trackView_);

    status_ = new QLabel("就绪");
    status_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

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
    fitColumns();
}

QWidget* RipPage::buildButtons() {
    refresh_ = commandButton("refresh", "刷新", "刷新 CD-Rom");
    cddb_ = commandButton("cddb", "CDDB", "连接到 CDDB");
    convert_ = commandButton("convert", "转换", "转换选定的音轨");
    stop_ = commandButton("stop", "停止", "停止转换");
    select_ = commandButton("select", "选择", "选择要抓取的音轨");
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    for (auto* button : {refresh_, cddb_, convert_, stop_, select_}) layout->addWidget(button);
    layout->addStretch();
    return column;
}

QWidget* RipPage::buildEncoderAndPlayer() {
    encoderBox_ = new QComboBox;
    for (const char* format : {"wav", "ogg", "mp3", "wma"}) {
        encoderBox_->addItem(QIcon(QString(":/icons/format-%1.svg").arg(format)),
                             QString(format).toUpper());
    }
    auto* encoder = new QLabel("编码器:");
    encoder->setBuddy(encoderBox_);
    position_ = new QSlider(Qt::Horizontal);
    position_->setRange(0, 100);

    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(encoder);
    layout->addWidget(encoderBox_);
    layout->addSpacing(fontMetrics().averageCharWidth() * 2);
    for (auto* button :
         {playerButton("play", "播放"), playerButton("pause", "暂停"),
          playerButton("stop-playing", "停止"), playerButton("eject", "打开/关闭")}) {
        layout->addWidget(button);
    }
    layout->addWidget(position_, 1);
    return row;
}

void RipPage::buildMenus() {
    selectMenu_ = new QMenu(this);
    for (const char* item : {"全部检查(&C)\tCtrl+C", "全部不选(&U)    \tCtrl+U", "反选(&V)",
                             "全部选择(&A) \t Ctrl+A", "检查选定(&S)"}) {
        selectMenu_->addAction(item);
    }
    contextMenu_ = new QMenu("设置", this);
    contextMenu_->addAction("音轨设置");
    contextMenu_->addSeparator();
    contextMenu_->addAction("全部刷新");
    contextMenu_->addAction("获取CDDB信息");
    contextMenu_->addSeparator();
    contextMenu_->addAction("选择/反选音轨");
    contextMenu_->addSeparator();
    contextMenu_->addAction("播放");
    contextMenu_->addAction("停止播放");
}

// The widths were drawn for a font whose average character is 6 pixels wide; each column is also
// wide enough for its longest usual text in the font in use.
void RipPage::fitColumns() {
    static constexpr const char* kWidestTexts[TrackListModel::kColumnCount] = {
        "音轨 00（数据音轨）", "00:00", "OGG - [ VBR Q0.45 (141 kbps) ]", "已完成"};
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

void RipPage::setStatus(const std::string& text) {
    status_->setText(QString::fromStdString(text));
}

}  // namespace lumbra::gui
