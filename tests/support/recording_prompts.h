// Prompts that remember what was shown and answer as the test says.
#pragma once

#include <vector>

#include "platform/prompts.h"

namespace lumbra::test {

class RecordingPrompts : public Prompts {
public:
    MessageAnswer answer = MessageAnswer::Yes;
    std::vector<Message> shown;

    MessageAnswer show(const Message& message) override {
        shown.push_back(message);
        return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
    }
};

}  // namespace lumbra::test
