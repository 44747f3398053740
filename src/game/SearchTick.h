// Small helpers shared by the tour searches.
#pragma once

#include <cstdint>

#include "SearchHost.h"

// The host a search talks to when the game has no board window (a frozen
// clock, no input), so that a search never needs a null check.
SearchHost& SearchHostOf(SearchHost* boardWindow);

// SearchStartTick doubles as the "search running" flag, 0 meaning stopped. A
// clock that happens to read 0 when the search starts is taken as one
// millisecond earlier, so that such a search is not mistaken for a stopped one.
constexpr uint32_t SearchStartTickFrom(uint32_t now) { return now != 0 ? now : 0xFFFFFFFFu; }
