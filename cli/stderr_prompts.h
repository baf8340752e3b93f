// Messages of the command line go to stderr; questions take their default answer.
#pragma once

#include <cstdio>

#include "app/prompts.h"

namespace lumbra::cli {

class StderrPrompts : public Prompts {
public:
    MessageAnswer show(const Message& message) override {
        std::fprintf(stderr, "%s\n", message.text.c_str());
        return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
    }
};

}  // namespace lumbra::cli
