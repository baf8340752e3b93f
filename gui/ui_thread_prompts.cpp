#include "gui/ui_thread_prompts.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <optional>

#include "platform/cautious_answer.h"

namespace lumbra::gui {

// One worker's question; `answer` lives on the waiting worker's stack.
class UiThreadPrompts::Question : public QEvent {
public:
    Question(const Message& message, std::optional<MessageAnswer>& answer)
        : QEvent(eventType()), message(message), answer(answer) {}

    static QEvent::Type eventType() {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }

    const Message message;
    std::optional<MessageAnswer>& answer;
};

MessageAnswer UiThreadPrompts::show(const Message& message) {
    if (QThread::currentThread() == thread()) return inner_.show(message);
    std::optional<MessageAnswer> answer;
    std::unique_lock lock(mutex_);
    if (abandoned_) return cautiousAnswer(message);
    QCoreApplication::postEvent(this, new Question(message, answer));
    answered_.wait(lock, [&] { return answer.has_value() || abandoned_; });
    return answer.value_or(cautiousAnswer(message));
}

void UiThreadPrompts::abandon() {
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    answered_.notify_all();
}

bool UiThreadPrompts::event(QEvent* event) {
    if (event->type() != Question::eventType()) return QObject::event(event);
    auto& question = *static_cast<Question*>(event);
    if (abandonedNow()) return true;  // its worker has gone on without an answer
    const MessageAnswer answer = inner_.show(question.message);
    {
        const std::lock_guard lock(mutex_);
        if (abandoned_) return true;
        question.answer = answer;
    }
    answered_.notify_all();
    return true;
}

bool UiThreadPrompts::abandonedNow() {
    const std::lock_guard lock(mutex_);
    return abandoned_;
}

}  // namespace lumbra::gui
