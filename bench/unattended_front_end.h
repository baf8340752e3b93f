// A front end no one watches: every question is answered yes and every post goes nowhere, so a
// benchmark times the rip alone.
#pragma once

#include <cstdint>

#include "platform/prompts.h"
#include "platform/window_messages.h"

namespace lumbra::bench {

class SilentPrompts : public Prompts {
public:
    MessageAnswer show(const Message&) override { return MessageAnswer::Yes; }
};

class NoEvents : public EventSink {
public:
    void post(int, uintptr_t, const void*) override {}
};

}  // namespace lumbra::bench
