// The answer that changes nothing: "no" to a question, "cancel" where it is offered. Given for a
// box nobody can answer (an abandoned or held-back prompt).
#pragma once

#include "platform/prompts.h"

namespace lumbra {

inline MessageAnswer cautiousAnswer(const Message& message) {
    switch (message.buttons) {
        case MessageButtons::YesNo:
            return MessageAnswer::No;
        case MessageButtons::YesNoCancel:
            return MessageAnswer::Cancel;
        case MessageButtons::Ok:
            break;
    }
    return MessageAnswer::Ok;
}

}  // namespace lumbra
