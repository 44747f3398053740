// A search host for tests: a clock that the test controls and a queue of
// input events that the search takes one per placed square.
#pragma once

#include <cstdint>
#include <deque>

#include "game/SearchHost.h"

class FakeSearchHost : public SearchHost {
public:
    uint32_t Clock = 1000;        // what TickCount returns
    uint32_t ClockStepPerPoll = 0;  // the clock advances this much per placed square
    // Cancel (as a key press) when this many squares have been placed; 0 = never.
    uint64_t KeyPressAtPoll = 0;
    std::deque<CancelInput> Queue;  // events waiting for the board window

    uint64_t Polls = 0;
    int WaitCursorCalls = 0;
    int RefreshCalls = 0;

    CancelInput PollCancelInput() override {
        ++Polls;
        Clock += ClockStepPerPoll;
        if (KeyPressAtPoll != 0 && Polls == KeyPressAtPoll) return CancelInput::KeyPress;
        if (Queue.empty()) return CancelInput::None;
        CancelInput next = Queue.front();
        Queue.pop_front();
        return next;
    }
    void ShowWaitCursor() override { ++WaitCursorCalls; }
    void RefreshCursor() override { ++RefreshCalls; }
    uint32_t TickCount() override { return Clock; }
};
