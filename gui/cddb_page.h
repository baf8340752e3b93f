// The CDDB settings tab: the server list, written to setup.ini at every change, and the lookup,
// local database and proxy settings, written by apply. It keeps the process-wide lookup settings
// in step with what it shows: the current server follows the list's selection.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "gui/settings_page.h"
#include "platform/prompts.h"
#include "settings/cddb_server_list.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace lumbra::gui {

class CddbPage : public SettingsPage {
public:
    CddbPage(const PageContext& context, QWidget* parent);

    void load() override;

    // Where the page's messages and its question go; the main window sets it.
    Prompts* prompts = nullptr;
    // The folder browser; returns the chosen path, empty when cancelled. Tests replace it.
    std::function<QString(QWidget* parent)> chooseFolder;
    // Whether a rip job runs, during which the local folder cannot change.
    std::function<bool()> ripBusy = [] { return false; };

private:
    QWidget* buildServerGroup();
    QWidget* buildProxyGroup();
    void fillList(int selected);
    void showServer(const CddbServer* server);
    void serverChosen(int index);
    std::optional<CddbServer> enteredServer();
    void addServer();
    void updateServer();
    void deleteServer();
    void defaultServers();
    void chooseLocalFolder();
    void useProxyClicked();
    void enableProxyFields();
    void apply();
    void makeCurrent(const CddbServer& server);
    MessageAnswer ask(const char* text, MessageIcon icon, MessageButtons buttons);

    std::vector<CddbServer> servers_;
    QComboBox* list_;
    QLineEdit* address_;
    QLineEdit* port_;
    QLineEdit* query_;
    QLineEdit* location_;
    QCheckBox* automatic_;
    QCheckBox* useLocal_;
    QCheckBox* useMusicBrainz_;
    QCheckBox* coverArt_;
    QLineEdit* localFolder_;
    QLineEdit* email_;
    QCheckBox* useProxy_;
    QCheckBox* savePassword_;
    QLineEdit* proxyHost_;
    QLineEdit* proxyPort_;
    QLineEdit* proxyUser_;
    QLineEdit* proxyPassword_;
};

}  // namespace lumbra::gui
