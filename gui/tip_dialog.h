// The tip-of-the-day dialog ("每日提示"): one tip at a time, the next on request, and whether it
// shows at start-up, kept in setup.ini together with the tip to show next.
#pragma once

#include <QDialog>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"

class QCheckBox;
class QLabel;

namespace lumbra::gui {

inline constexpr keys::IntKey kShowTipsAtStartup{"TIPS", "TIPS_SHOW_AT_STARTUP", 1};
inline constexpr keys::IntKey kNextTip{"TIPS", "TIPS_NEXT", 0};

// The tips, in the order they are shown.
int tipCount();
const char* tipText(int index);

class TipDialog : public QDialog {
public:
    // Shows the tip setup.ini names next; the one after it is stored as next.
    TipDialog(const SettingsStore& store, QWidget* parent);

    QLabel* tipLabel() const { return tip_; }
    QCheckBox* showAtStartup() const { return showAtStartup_; }
    void nextTip();

private:
    void showTip(int index);

    const SettingsStore& store_;
    QLabel* tip_;
    QCheckBox* showAtStartup_;
    int index_ = 0;
};

}  // namespace lumbra::gui
