// The about tab ("关于"): product line, description, links, help and tip-of-the-day buttons.
#pragma once

#include <QWidget>

namespace lumbra::gui {

// "Lumbra CD Ripper [ 版本 x.y.z ]" with the project's version.
QString productLine();

class AboutPage : public QWidget {
    Q_OBJECT
public:
    explicit AboutPage(QWidget* parent);

Q_SIGNALS:
    // A link to a section of the help ("home", "support", "updates").
    void linkActivated(const QString& section);
    void helpRequested();
    void tipRequested();
};

}  // namespace lumbra::gui
