#pragma once
// What one running search hands down to the content, index and duplicate code it drives:
// the event that stops it and the instant its "within the last ..." date tests count back
// from. Each search has its own, so two searches on two threads never share them.
//
// Plain values, copied freely. The event is owned by whoever starts the search and must
// outlive the run; a null event never asks to stop.
#include <cstdint>

#include "platform/Event.h"

struct SearchRun {
    const Event* stop = nullptr;
    uint64_t nowTicks = 0;   // local time, FILETIME ticks (100 ns since 1601)

    bool stopped() const { return stop && stop->isSet(); }
};
