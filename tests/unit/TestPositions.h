// Small helpers that build positions for the tests.
#pragma once

#include <string>
#include <vector>

#include "game/GameState.h"

inline Square Sq(const char* name) { return Square{name[0] - 'a', name[1] - '1'}; }

inline std::vector<Square> Squares(std::initializer_list<const char*> names) {
    std::vector<Square> out;
    for (const char* n : names) out.push_back(Sq(n));
    return out;
}

inline void Play(GameState& game, const std::vector<Square>& moves) {
    for (Square s : moves) game.MakeMove(s);
}

inline std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// True when moves is a knight's tour: 64 distinct squares, each a knight's
// jump from the one before.
inline bool IsTour(const MoveArray& moves) {
    bool seen[64] = {};
    for (int i = 0; i < 64; ++i) {
        if (!IsOnBoard(moves[i]) || seen[BoardIndex(moves[i])]) return false;
        seen[BoardIndex(moves[i])] = true;
        if (i > 0 && !IsKnightJump(moves[i - 1], moves[i])) return false;
    }
    return true;
}
