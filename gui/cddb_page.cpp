#include "gui/cddb_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/settings_loaders.h"
#include "settings/settings_savers.h"

namespace lumbra::gui {
namespace {

constexpr const char* kEnterServer = "请输入: \n[地址]/[端口]/[查询]";
constexpr const char* kReloadDefaults = "  您确定要: \n重新载入默认服务器吗？";
constexpr int kMaxPort = 65535;

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

std::string str(const QString& text) {
    return text.toStdString();
}

QString browseForFolder(QWidget* parent) {
    return QFileDialog::getExistingDirectory(parent, "选择一个输出文件夹", QString(),
                                             QFileDialog::ShowDirsOnly);
}

QLineEdit* edit(const char* name) {
    auto* line = new QLineEdit;
    line->setObjectName(name);
    return line;
}

// Ports are whole numbers; the field takes nothing else.
QLineEdit* portEdit(const char* name) {
    auto* line = edit(name);
    line->setValidator(new QIntValidator(0, kMaxPort, line));
    return line;
}

QPushButton* button(const char* name, const char* caption) {
    auto* pushButton = new QPushButton(caption);
    pushButton->setObjectName(name);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QCheckBox* checkBox(const char* name, const char* caption) {
    auto* box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

void addPair(QGridLayout* grid, int row, int column, const char* caption, QWidget* field) {
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1);
}

}  // namespace

CddbPage::CddbPage(const PageContext& context, QWidget* parent)
    : SettingsPage(context, parent), chooseFolder(browseForFolder) {
    auto* apply = button("apply", "应用(&P)");
    apply->setToolTip("应用更改");
    apply->setIcon(QIcon(":/icons/apply.svg"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(apply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildServerGroup());
    layout->addWidget(buildProxyGroup());
    layout->addStretch();
    layout->addLayout(bottom);
    connect(apply, &QPushButton::clicked, this, &CddbPage::apply);
}

QWidget* CddbPage::buildServerGroup() {
    list_ = new QComboBox;
    list_->setObjectName("servers");
    address_ = edit("address");
    port_ = portEdit("port");
    query_ = edit("query");
    location_ = edit("location");
    automatic_ = checkBox("cddbAuto", "联系 CDDB 更新");
    useLocal_ = checkBox("useLocal", "使用本地 CDDB");
    useMusicBrainz_ = checkBox("useMusicBrainz", "使用 MusicBrainz");
    coverArt_ = checkBox("coverArt", "下载专辑封面");
    localFolder_ = edit("localFolder");
    email_ = edit("email");
    auto* browse = button("browse", ">>");
    auto* add = button("add", "添加服务器(&N)");
    auto* update = button("update", "更新服务器(&M)");
    auto* remove = button("delete", "删除服务器(&L)");
    auto* defaults = button("defaults", "默认服务器(&O)");

    auto* group = new QGroupBox("CDDB 服务器");
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel("服务器:"), 0, 0);
    grid->addWidget(list_, 0, 1, 1, 3);
    addPair(grid, 1, 0, "地址(*):", address_);
    addPair(grid, 1, 2, "端口(*):", port_);
    addPair(grid, 2, 0, "查询(*):", query_);
    addPair(grid, 2, 2, "位置:", location_);
    auto* buttons = new QHBoxLayout;
    for (auto* b : {add, update, remove, defaults}) buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 3, 0, 1, 4);
    auto* switches = new QHBoxLayout;
    switches->addWidget(automatic_);
    switches->addWidget(useLocal_);
    switches->addWidget(useMusicBrainz_);
    switches->addWidget(coverArt_);
    switches->addStretch();
    grid->addLayout(switches, 4, 0, 1, 4);
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(localFolder_);
    folderRow->addWidget(browse);
    grid->addWidget(new QLabel("本地 CDDB 路径:"), 5, 0);
    grid->addLayout(folderRow, 5, 1, 1, 3);
    addPair(grid, 6, 0, "电子邮件:", email_);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);

    connect(list_, &QComboBox::activated, this, &CddbPage::serverChosen);
    connect(add, &QPushButton::clicked, this, &CddbPage::addServer);
    connect(update, &QPushButton::clicked, this, &CddbPage::updateServer);
    connect(remove, &QPushButton::clicked, this, &CddbPage::deleteServer);
    connect(defaults, &QPushButton::clicked, this, &CddbPage::defaultServers);
    connect(browse, &QPushButton::clicked, this, &CddbPage::chooseLocalFolder);
    return group;
}

QWidget* CddbPage::buildProxyGroup() {
    useProxy_ = checkBox("useProxy", "使用代理服务器");
    savePassword_ = checkBox("savePassword", "保存密码");
    proxyHost_ = edit("proxyHost");
    proxyPort_ = portEdit("proxyPort");
    proxyUser_ = edit("proxyUser");
    proxyPassword_ = edit("proxyPassword");
    proxyPassword_->setEchoMode(QLineEdit::Password);

    auto* group = new QGroupBox("代理服务器设置");
    auto* grid = new QGridLayout(group);
    grid->addWidget(useProxy_, 0, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(savePassword_, 0, 2, 1, 2, Qt::AlignLeft);
    addPair(grid, 1, 0, "地址(*):", proxyHost_);
    addPair(grid, 1, 2, "端口(*):", proxyPort_);
    addPair(grid, 2, 0, "用户名:", proxyUser_);
    addPair(grid, 2, 2, "密码:", proxyPassword_);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);
    connect(useProxy_, &QCheckBox::clicked, this, &CddbPage::useProxyClicked);
    return group;
}

void CddbPage::load() {
    servers_ = loadCddbSettings(store(), settings(), programHome());
    loadAccurateRipSettings(store(), settings());  // the lookup goes through this page's proxy
    loadMusicBrainzSettings(store(), settings());
    fillList(0);
    const CddbSettings& cddb = settings().cddb;
    localFolder_->setText(qs(cddb.localDatabaseFolder));
    useLocal_->setChecked(cddb.useLocalDatabase);
    useMusicBrainz_->setChecked(settings().musicBrainz.enabled);
    coverArt_->setChecked(settings().musicBrainz.coverArt);
    automatic_->setChecked(settings().cddbAuto);
    email_->setText(qs(cddb.email));
    useProxy_->setChecked(cddb.useProxy);
    proxyHost_->setText(qs(cddb.proxyHost));
    proxyUser_->setText(qs(cddb.proxyUser));
    savePassword_->setChecked(cddb.savePassword);
    proxyPort_->setText(QString::number(cddb.proxyPort));
    proxyPassword_->setText(qs(cddb.proxyPassword));
    enableProxyFields();
}

// Refills the list from the records, selects the entry at `selected` and shows it.
void CddbPage::fillList(int selected) {
    list_->clear();
    for (const CddbServer& server : servers_)
        list_->addItem(qs(server.displayText()), server.number);
    list_->setCurrentIndex(servers_.empty() ? -1 : selected);
    showServer(servers_.empty() ? nullptr : &servers_[size_t(list_->currentIndex())]);
}

void CddbPage::showServer(const CddbServer* server) {
    address_->setText(server ? qs(server->host) : QString());
    port_->setText(QString::number(server ? server->port : 0));
    query_->setText(server ? qs(server->queryPath) : QString());
    location_->setText(server ? qs(server->location) : QString());
}

void CddbPage::serverChosen(int index) {
    if (index < 0 || size_t(index) >= servers_.size()) return;
    showServer(&servers_[size_t(index)]);
    makeCurrent(servers_[size_t(index)]);
}

// The four fields as a server, or nothing (after saying what is missing).
std::optional<CddbServer> CddbPage::enteredServer() {
    CddbServer server{0, str(address_->text()), port_->text().toInt(), str(query_->text()),
                      str(location_->text())};
    if (!isCompleteServer(server)) {
        ask(kEnterServer, MessageIcon::Information, MessageButtons::Ok);
        return std::nullopt;
    }
    return server;
}

void CddbPage::addServer() {
    const std::optional<CddbServer> entered = enteredServer();
    if (!entered) return;
    const std::optional<CddbServer> current = addCddbServer(store(), servers_, *entered);
    if (!current) return;
    list_->addItem(qs(servers_.back().displayText()), servers_.back().number);
    list_->setCurrentIndex(list_->count() - 1);
    makeCurrent(*current);
}

void CddbPage::updateServer() {
    const int index = list_->currentIndex();
    if (index < 0) return;
    const std::optional<CddbServer> entered = enteredServer();
    if (!entered) return;
    const std::optional<CddbServer> current =
        updateCddbServer(store(), servers_, list_->itemData(index).toInt(), *entered);
    if (!current) return;
    list_->setItemText(index, qs(current->displayText()));
    makeCurrent(*current);
}

void CddbPage::deleteServer() {
    const int index = list_->currentIndex();
    if (index < 0 || size_t(index) >= servers_.size()) return;
    const std::optional<CddbServer> current = deleteCddbServer(store(), servers_, size_t(index));
    fillList(0);
    if (current) makeCurrent(*current);
}

void CddbPage::defaultServers() {
    if (ask(kReloadDefaults, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::No)
        return;
    makeCurrent(restoreDefaultCddbServer(store(), servers_));
    fillList(0);
}

void CddbPage::chooseLocalFolder() {
    if (ripBusy()) return;
    const QString chosen = chooseFolder(this);
    if (chosen.isEmpty()) return;
    localFolder_->setText(chosen);
    settings().cddb.localDatabaseFolder = str(chosen);
    saveLocalDatabaseFolder(store(), settings());
}

// Turning the proxy on shows what is stored, not what was typed before; a missing port is the
// one start-up uses.
void CddbPage::useProxyClicked() {
    if (useProxy_->isChecked()) {
        proxyHost_->setText(qs(store().read(keys::kProxyServer)));
        proxyUser_->setText(qs(store().read(keys::kProxyUser)));
        savePassword_->setChecked(store().read(keys::kProxySavePassword) != 0);
        proxyPort_->setText(QString::number(store().read(keys::kProxyPort)));
        if (savePassword_->isChecked())
            proxyPassword_->setText(qs(store().read(keys::kProxyPasswordKey)));
    }
    enableProxyFields();
}

void CddbPage::enableProxyFields() {
    for (QWidget* field : {static_cast<QWidget*>(savePassword_), static_cast<QWidget*>(proxyHost_),
                           static_cast<QWidget*>(proxyPort_), static_cast<QWidget*>(proxyUser_),
                           static_cast<QWidget*>(proxyPassword_)})
        field->setEnabled(useProxy_->isChecked());
}

void CddbPage::apply() {
    CddbSettings& cddb = settings().cddb;
    settings().cddbAuto = automatic_->isChecked();
    cddb.useProxy = useProxy_->isChecked();
    cddb.proxyHost = str(proxyHost_->text());
    cddb.proxyPort = proxyPort_->text().toInt();
    cddb.proxyUser = str(proxyUser_->text());
    cddb.proxyPassword = str(proxyPassword_->text());
    cddb.savePassword = savePassword_->isChecked();
    cddb.localDatabaseFolder = str(localFolder_->text());
    cddb.useLocalDatabase = useLocal_->isChecked();
    cddb.email = str(email_->text());
    settings().musicBrainz.enabled = useMusicBrainz_->isChecked();
    settings().musicBrainz.coverArt = coverArt_->isChecked();
    saveCddbSettings(store(), settings());
}

void CddbPage::makeCurrent(const CddbServer& server) {
    settings().cddb.currentServer = {server.host, server.port, server.queryPath};
}

MessageAnswer CddbPage::ask(const char* text, MessageIcon icon, MessageButtons buttons) {
    if (!prompts) return MessageAnswer::No;
    return prompts->show({kCaption, text, icon, buttons});
}

}  // namespace lumbra::gui
