#include "gui/audio_page.h"

#include "settings/settings_loaders.h"

namespace lumbra::gui {

void AudioPage::load() {
    applyToListedTracks_ = loadEncoderSettings(store(), settings());
}

}  // namespace lumbra::gui
