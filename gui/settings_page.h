// The base of the pages that edit settings. A page loads its group of keys once, when the main
// window creates it, through the core's group loader; at the moments its controls call for, it
// copies them into the settings record and calls the core's saver for that moment.
#pragma once

#include <QWidget>
#include <string>

#include "settings/settings_record.h"
#include "settings/settings_store.h"

namespace lumbra::gui {

struct PageContext {
    const SettingsStore& store;
    SettingsRecord& settings;
    std::string programHome;
};

class SettingsPage : public QWidget {
public:
    SettingsPage(const PageContext& context, QWidget* parent)
        : QWidget(parent), context_(context) {}

    // Reads the page's keys into its controls and the settings record.
    virtual void load() = 0;

protected:
    const SettingsStore& store() const { return context_.store; }
    SettingsRecord& settings() const { return context_.settings; }
    const std::string& programHome() const { return context_.programHome; }

private:
    const PageContext context_;
};

}  // namespace lumbra::gui
