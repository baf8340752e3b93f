// Prompts that any thread may use: a question from a worker is shown on the user-interface
// thread by the inner prompts while the worker waits for the answer.
#pragma once

#include <QObject>
#include <condition_variable>
#include <mutex>

#include "platform/prompts.h"

namespace lumbra::gui {

class UiThreadPrompts : public QObject, public Prompts {
public:
    // `inner` is used on the thread this object lives on.
    explicit UiThreadPrompts(Prompts& inner) : inner_(inner) {}

    MessageAnswer show(const Message& message) override;

    // From now on every worker question, waiting or new, gets the cautious answer (No, Cancel or
    // Ok) at once, so that a closing window can wait for its jobs without waiting for a person.
    void abandon();

protected:
    bool event(QEvent* event) override;

private:
    class Question;

    bool abandonedNow();

    Prompts& inner_;
    std::mutex mutex_;
    std::condition_variable answered_;
    bool abandoned_ = false;
};

}  // namespace lumbra::gui
