#include "gui/posted_messages.h"

#include <QCoreApplication>

namespace lumbra::gui {

QEvent::Type WindowMessageEvent::eventType() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

void QueuedEventSink::post(int message, uintptr_t wParam, const void* lParam) {
    QCoreApplication::postEvent(receiver_, new WindowMessageEvent(message, wParam, lParam));
}

}  // namespace lumbra::gui
