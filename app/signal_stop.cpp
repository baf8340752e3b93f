#include "app/signal_stop.h"

#include "platform/manual_reset_event.h"

namespace lumbra {

void SignalStop::operator()() const {
    if (running) *running = 0;
    if (eventDescriptor >= 0) platform::signalEventDescriptor(eventDescriptor);
}

}  // namespace lumbra
