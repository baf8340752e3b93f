#include "gui/cddb_page.h"

#include "settings/settings_loaders.h"

namespace lumbra::gui {

void CddbPage::load() {
    servers_ = loadCddbSettings(store(), settings(), programHome());
}

}  // namespace lumbra::gui
