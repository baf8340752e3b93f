// Questions from a worker thread: shown on the user-interface thread, answered back to the
// waiting worker; once abandoned, answered cautiously at once so a closing window never waits
// for a person.
#include <gtest/gtest.h>

#include <QTest>
#include <future>
#include <thread>

#include "gui/ui_thread_prompts.h"
#include "support/recording_prompts.h"

namespace lumbra {
namespace {

Message question(MessageButtons buttons) {
    return {kCaption, "?", MessageIcon::Question, buttons};
}

TEST(UiThreadPrompts, AWorkersQuestionIsAnsweredOnTheUserInterfaceThread) {
    test::RecordingPrompts inner;
    inner.answer = MessageAnswer::No;
    gui::UiThreadPrompts prompts(inner);
    auto answer = std::async(std::launch::async,
                             [&] { return prompts.show(question(MessageButtons::YesNo)); });
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return answer.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(answer.get(), MessageAnswer::No);
    ASSERT_EQ(inner.shown.size(), 1u) << "shown once, by the user-interface thread";
}

TEST(UiThreadPrompts, AbandonedQuestionsGetTheCautiousAnswer) {
    const std::pair<MessageButtons, MessageAnswer> cases[] = {
        {MessageButtons::Ok, MessageAnswer::Ok},
        {MessageButtons::YesNo, MessageAnswer::No},
        {MessageButtons::YesNoCancel, MessageAnswer::Cancel},
    };
    for (const auto& [buttons, cautious] : cases) {
        test::RecordingPrompts inner;
        inner.answer = MessageAnswer::Yes;
        gui::UiThreadPrompts prompts(inner);
        // A question already waiting (its event never handled) and one asked afterwards.
        auto waiting =
            std::async(std::launch::async, [&, b = buttons] { return prompts.show(question(b)); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        prompts.abandon();
        EXPECT_EQ(waiting.get(), cautious);
        auto later =
            std::async(std::launch::async, [&, b = buttons] { return prompts.show(question(b)); });
        EXPECT_EQ(later.get(), cautious);
        QCoreApplication::processEvents();
        EXPECT_TRUE(inner.shown.empty()) << "nobody was asked";
    }
}

}  // namespace
}  // namespace lumbra
