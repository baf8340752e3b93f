// The CDDB settings tab. It loads the server list, the local database and proxy settings, so the
// first lookup asks the stored server; its controls come with the CDDB settings page.
#pragma once

#include <vector>

#include "gui/settings_page.h"
#include "settings/cddb_server_list.h"

namespace lumbra::gui {

class CddbPage : public SettingsPage {
public:
    CddbPage(const PageContext& context, QWidget* parent) : SettingsPage(context, parent) {}

    void load() override;

    const std::vector<CddbServer>& servers() const { return servers_; }

private:
    std::vector<CddbServer> servers_;
};

}  // namespace lumbra::gui
