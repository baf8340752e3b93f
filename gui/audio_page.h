// The encoder settings tab ("音频设置"). It loads the encoder keys, so every track gets the stored
// defaults; its controls come with the encoder settings pages.
#pragma once

#include "gui/settings_page.h"

namespace lumbra::gui {

class AudioPage : public SettingsPage {
public:
    AudioPage(const PageContext& context, QWidget* parent) : SettingsPage(context, parent) {}

    void load() override;

    // EFFECTIVE: applying the encoder settings re-applies them to the listed tracks.
    bool applyToListedTracks() const { return applyToListedTracks_; }

private:
    bool applyToListedTracks_ = true;
};

}  // namespace lumbra::gui
