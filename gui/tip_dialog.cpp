#include "gui/tip_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <iterator>

// The dialog may show before the main window, which otherwise brings the icons in.
static void initIcons() {
    Q_INIT_RESOURCE(resources);
}

namespace lumbra::gui {
namespace {

constexpr const char* kTips[] = {
    "勾选要抓取的音轨，在“编码器:"
    "”中选择格式，然后单击“转换”。文件保存在“全局设置”页的输出文件夹中。",
    "选中一条音轨后单击播放按钮即可试听；拖动滑块可以跳到音轨中的任意位置，再按一次暂停按钮继续播放"
    "。",
    "右键单击音轨列表可以打开菜单：设置单条音轨的编码器选项、全部刷新、获取 CDDB "
    "信息、播放或停止播放。",
    "文件名格式可以使用 <Artist>、<Album>、<Title> 和 <Year>，用 \\ 分隔子文件夹，例如 "
    "<Artist> \\ <Album> \\ <Title>。",
    "更换 CD 后请先单击“刷新”再转换，否则程序会提示 CD 已经更换。",
    "开启“使用本地 CDDB”后，查到的专辑信息会保存在本地数据库中，同一张 CD 下次无需联网即可识别。",
    "如果您通过代理服务器上网，请在“CDDB”页启用“使用代理服务器”，填写代理的地址和端口后单击“应用”"
    "。",
    "抓取时可以随时单击“停止”：当前音轨会被取消，不会留下不完整的文件。",
    "对于有划痕或读取不稳定的 "
    "CD，可在“全局设置”页的“抖动校正”中选择“总是”，程序会用重叠读取对齐数据。",
    "单击“打开/关闭”按钮可以弹出或关上光驱托盘；托盘打开时刷新会找不到 CD。",
    "所有设置都保存在程序主目录的 setup.ini 中；用 --home 选项启动可以指定另一个主目录。",
    "命令行程序 lumbra-rip 使用同样的设置，适合在脚本中抓取整张 CD，例如：lumbra-rip --format mp3 "
    "--out ~/音乐。",
    "在“编码器:”中选择格式时，它只作用于选中的音轨；同一张 CD 的不同音轨可以保存为不同的格式。",
    "不想在启动时看到提示，请取消勾选“启动时显示提示”；以后仍可从“关于”页的“每日提示...”按钮打开。",
};

}  // namespace

int tipCount() {
    return int(std::size(kTips));
}

const char* tipText(int index) {
    return kTips[((index % tipCount()) + tipCount()) % tipCount()];
}

TipDialog::TipDialog(const SettingsStore& store, QWidget* parent) : QDialog(parent), store_(store) {
    initIcons();
    setWindowTitle("每日提示");
    auto* icon = new QLabel;
    icon->setPixmap(QIcon(":/icons/tip.svg").pixmap(48, 48));
    auto* heading = new QLabel("您知道吗...");
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    heading->setFont(bold);
    tip_ = new QLabel;
    tip_->setObjectName("tip");
    tip_->setTextFormat(Qt::PlainText);  // the naming tags are text, not markup
    tip_->setWordWrap(true);
    tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    tip_->setMinimumSize(fontMetrics().averageCharWidth() * 56, fontMetrics().height() * 5);

    auto* panel = new QFrame;
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    panel->setBackgroundRole(QPalette::Base);
    panel->setAutoFillBackground(true);
    auto* inner = new QGridLayout(panel);
    inner->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    inner->addWidget(heading, 0, 1);
    inner->addWidget(tip_, 1, 1);
    inner->setColumnStretch(1, 1);

    showAtStartup_ = new QCheckBox("启动时显示提示");
    showAtStartup_->setObjectName("showAtStartup");
    showAtStartup_->setChecked(store_.read(kShowTipsAtStartup) != 0);
    auto* buttons = new QDialogButtonBox;
    auto* next = buttons->addButton("下一条(&N)", QDialogButtonBox::ActionRole);
    next->setObjectName("next");
    auto* close = buttons->addButton("关闭", QDialogButtonBox::RejectRole);
    close->setObjectName("close");
    close->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(panel, 0, 0, 1, 2);
    layout->addWidget(showAtStartup_, 1, 0);
    layout->addWidget(buttons, 1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(next, &QPushButton::clicked, this, &TipDialog::nextTip);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(showAtStartup_, &QCheckBox::toggled, this,
            [this](bool on) { store_.write(kShowTipsAtStartup, on ? 1 : 0); });
    showTip(store_.read(kNextTip));
}

void TipDialog::nextTip() {
    showTip(index_ + 1);
}

void TipDialog::showTip(int index) {
    index_ = ((index % tipCount()) + tipCount()) % tipCount();
    tip_->setText(tipText(index_));
    store_.write(kNextTip, (index_ + 1) % tipCount());
}

}  // namespace lumbra::gui
