// Small helpers shared by the tour searches.
#pragma once

#include <cstdint>

#include "BoardArray.h"
#include "SearchHost.h"
#include "Square.h"

struct GameState;

// One search from the knight's square on, as FindTour runs it.
using TourSearch = bool (*)(GameState& game, const BoardArray& board, Square last);

// FindTour around a given search: the checks before it, the start tick, the
// marks and counters after it, the cursor refresh and filling in a tour.
bool FindTourWith(GameState& game, bool fill, TourSearch search);

// The host a search talks to when the game has no board window (a frozen
// clock, no input), so that a search never needs a null check.
SearchHost& SearchHostOf(SearchHost* boardWindow);

// SearchStartTick doubles as the "search running" flag, 0 meaning stopped. A
// clock that happens to read 0 when the search starts is taken as one
// millisecond earlier, so that such a search is not mistaken for a stopped one.
constexpr uint32_t SearchStartTickFrom(uint32_t now) { return now != 0 ? now : 0xFFFFFFFFu; }
