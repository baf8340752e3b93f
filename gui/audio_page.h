// The encoder settings tab ("音频设置"): the defaults of every format, which every track of a
// newly read disc gets. Apply stores them, and with "立即生效。" on gives them to the listed tracks
// too.
#pragma once

#include <functional>

#include "gui/settings_page.h"

class QCheckBox;

namespace lumbra::gui {

class FlacOptionsPane;
class Mp3OptionsPane;
class OggOptionsPane;
class OpusOptionsPane;
class WavOptionsPane;
class WmaOptionsPane;

class AudioPage : public SettingsPage {
public:
    AudioPage(const PageContext& context, QWidget* parent);

    void load() override;

    // Gives every listed track the new defaults of its format; the main window sets it.
    std::function<void()> applyEncoderDefaults = [] {};

private:
    void showSettings(const EncoderSettings& encoder);
    EncoderSettings shownSettings() const;
    void apply();

    Mp3OptionsPane* mp3_;
    OggOptionsPane* ogg_;
    WavOptionsPane* wav_;
    WmaOptionsPane* wma_;
    FlacOptionsPane* flac_;
    OpusOptionsPane* opus_;
    QCheckBox* effective_;  // EFFECTIVE
};

}  // namespace lumbra::gui
