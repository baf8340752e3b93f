#include "gui/about_page.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/help_links.h"

namespace lumbra::gui {
namespace {

QLabel* linkLabel(const char* section, const QString& text) {
    auto* label = new QLabel(QString("<a href=\"%1\">%2</a>").arg(section, text));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    return label;
}

}  // namespace

QString productLine() {
    return QString("Lumbra CD Ripper [ 版本 %1 ]").arg(LUMBRA_VERSION);
}

AboutPage::AboutPage(QWidget* parent) : QWidget(parent) {
    auto* logo = new QLabel;
    logo->setPixmap(QIcon(":/icons/lumbra-cdripper.svg").pixmap(64, 64));
    auto* product = new QLabel(productLine());
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    product->setFont(bold);
    auto* description = new QLabel(
        "读取音频 CD，从 CDDB 或本地数据库获取专辑和音轨信息，并把选定的音轨转换为 WAV、MP3、"
        "Ogg Vorbis、WMA、FLAC 或 Opus 文件，按您选择的文件名格式保存。");
    description->setWordWrap(true);

    auto* help = new QPushButton(QIcon(":/icons/help.svg"), "获取帮助(&H)");
    help->setAutoDefault(false);
    auto* tip = new QToolButton;
    tip->setIcon(QIcon(":/icons/tip.svg"));
    tip->setToolTip("每日提示...");
    tip->setAutoRaise(true);

    auto* links = new QVBoxLayout;
    for (auto* label : {linkLabel(kHomePageSection, "访问 Lumbra CD Ripper 主页"),
                        linkLabel(kSupportSection, "技术支持与反馈"),
                        linkLabel(kUpdatesSection, "在网站上检查版本更新")}) {
        connect(label, &QLabel::linkActivated, this, &AboutPage::linkActivated);
        links->addWidget(label);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addWidget(tip);
    buttons->addStretch();

    auto* layout = new QGridLayout(this);
    layout->addWidget(logo, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(product, 0, 1);
    layout->addWidget(description, 1, 1);
    layout->addLayout(links, 2, 1);
    layout->addLayout(buttons, 3, 1);
    layout->setRowStretch(4, 1);
    layout->setColumnStretch(1, 1);

    connect(help, &QPushButton::clicked, this, &AboutPage::helpRequested);
    connect(tip, &QToolButton::clicked, this, &AboutPage::tipRequested);
}

}  // namespace lumbra::gui
