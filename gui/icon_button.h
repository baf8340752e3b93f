// A flat tool button showing one of the program's bundled SVG icons.
#pragma once

#include <QIcon>
#include <QString>
#include <QToolButton>

namespace lumbra::gui {

// `name` is both the object name and the icon's file name under :/icons.
inline QToolButton* iconButton(const char* name, const char* tooltip) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setIcon(QIcon(QString(":/icons/%1.svg").arg(name)));
    button->setToolTip(tooltip);
    button->setAutoRaise(true);
    return button;
}

}  // namespace lumbra::gui
