// What the tour search needs from the window that runs it.
#pragma once

#include <cstdint>

enum class CancelInput {
    None,        // nothing was pending
    Other,       // an event was taken, but it does not cancel
    KeyPress,    // a key press: cancels
    LeftButton,  // a left mouse-button press: cancels
};

class SearchHost {
public:
    // Take at most one pending input event of the board window and tell what it was.
    virtual CancelInput PollCancelInput() = 0;
    virtual void ShowWaitCursor() = 0;
    // Choose the board cursor again for the pointer's current position.
    virtual void RefreshCursor() = 0;
    // Unsigned 32-bit milliseconds that wrap around.
    virtual uint32_t TickCount() = 0;

protected:
    ~SearchHost() = default;
};
