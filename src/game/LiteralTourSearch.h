// The tour search in its first, plain form: one board array copied per level
// and whole-board scans for the onward counts and the cut-off test. The game
// uses the set-based search of FindTour; this one is kept as the reference
// that the fast search must match move for move.
#pragma once

#include "GameState.h"

// Same contract as GameState::FindTour, run with GameState::SearchFrom and
// GameState::ChooseNextSquare.
bool FindTourLiteral(GameState& game, bool fill);
