// Messages as modal message boxes over a parent window. Called on the user-interface thread only.
#pragma once

#include "platform/prompts.h"

class QWidget;

namespace lumbra::gui {

class MessageBoxPrompts : public Prompts {
public:
    explicit MessageBoxPrompts(QWidget* parent) : parent_(parent) {}

    MessageAnswer show(const Message& message) override;

private:
    QWidget* const parent_;
};

}  // namespace lumbra::gui
