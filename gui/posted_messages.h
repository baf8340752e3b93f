// Worker posts as queued Qt events: each post becomes one event for the receiving widget, handled
// on the user-interface thread in arrival order, also inside a message box's or dialog's loop.
#pragma once

#include <QEvent>

#include "platform/window_messages.h"

namespace lumbra::gui {

class WindowMessageEvent : public QEvent {
public:
    WindowMessageEvent(int message, uintptr_t wParam, const void* lParam)
        : QEvent(eventType()), message(message), wParam(wParam), lParam(lParam) {}

    static QEvent::Type eventType();

    const int message;
    const uintptr_t wParam;
    const void* const lParam;
};

// Posts to one receiver. The receiver must outlive every job that posts through the sink.
class QueuedEventSink : public EventSink {
public:
    explicit QueuedEventSink(QObject& receiver) : receiver_(&receiver) {}

    void post(int message, uintptr_t wParam, const void* lParam) override;

private:
    QObject* const receiver_;
};

}  // namespace lumbra::gui
