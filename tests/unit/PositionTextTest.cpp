#include <gtest/gtest.h>

#include "TestPositions.h"
#include "game/GameState.h"

namespace {

struct LoadCase {
    const char* text;
    std::vector<const char*> moves;
};

class LoadFromText : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadFromText, LoadsTheValidMovesBeforeTheFirstBadToken) {
    GameState game;
    game.LoadFromText(Widen(GetParam().text));
    const auto& expected = GetParam().moves;
    ASSERT_EQ(game.MoveCount, static_cast<int32_t>(expected.size())) << GetParam().text;
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(game.MoveList[i], Sq(expected[i]));
    EXPECT_EQ(game.MoveCounter, game.MoveCount);
    EXPECT_EQ(game.ErrorCounter, 0);
    EXPECT_EQ(game.FirstDoubtIndex, NoIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LoadFromText,
    ::testing::Values(LoadCase{"A1;B3;C1", {"a1", "b3", "c1"}},
                      LoadCase{"a1;;b3;c1;", {"a1", "b3", "c1"}},
                      LoadCase{";A1;b3;C1xyz", {"a1", "b3", "c1"}},
                      LoadCase{"a1;b3;b4", {"a1", "b3"}},       // b4 is no knight move from b3
                      LoadCase{"a1;c2;a1", {"a1", "c2"}},       // a1 again
                      LoadCase{" a1;b3", {}},                   // a blank before the letter
                      LoadCase{"a1 b3", {"a1"}},                // one token
                      LoadCase{"i1;a1", {}}, LoadCase{"a9", {}}, LoadCase{"a0", {}},
                      LoadCase{"", {}}, LoadCase{";;;", {}}, LoadCase{"a", {}},
                      LoadCase{"H8;g6", {"h8", "g6"}}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return "Case" + std::to_string(info.index); });

TEST(PositionText, ToTextWritesCapitalLettersAndSemicolons) {
    GameState game;
    Play(game, Squares({"a1", "b3", "c1"}));
    EXPECT_EQ(game.ToText(), L"A1;B3;C1");
    game.Reset();
    EXPECT_EQ(game.ToText(), L"");
}

TEST(PositionText, ACompleteTourIs191CharactersAndLoadsIntoReplayMode) {
    GameState game;
    game.MakeMove(Sq("a1"));
    ASSERT_TRUE(game.FindTour(true));
    const std::wstring text = game.ToText();
    EXPECT_EQ(text.size(), 191u);
    EXPECT_EQ(text.substr(0, 17), L"A1;B3;A5;B7;D8;F7");

    GameState loaded;
    loaded.LoadFromText(text);
    EXPECT_EQ(loaded.MoveCount, NoIndex);
    EXPECT_EQ(loaded.MoveList, game.MoveList);
    EXPECT_EQ(loaded.MoveCounter, 64);
    EXPECT_EQ(loaded.ToText(), text);
    // A 65th token is ignored.
    loaded.LoadFromText(text + L";" + text.substr(0, 2));
    EXPECT_EQ(loaded.MoveCount, NoIndex);
}

TEST(PositionText, LoadingResetsFirstAndCanSetTheErrorMark) {
    GameState game;
    Play(game, Squares({"h8", "g6"}));
    game.ErrorCounter = 3;
    game.FirstDoubtIndex = 1;
    game.LoadFromText(L"b3;d4;c2;e1");
    EXPECT_EQ(game.MoveCount, 4);
    EXPECT_EQ(game.ErrorCounter, 0);
    EXPECT_EQ(game.FirstDoubtIndex, NoIndex);
    EXPECT_EQ(game.FirstErrorIndex, 2);  // c2 cut a1 off
    EXPECT_EQ(game.Board[BoardIndex(Sq("h8"))], -1);
}

TEST(PositionText, RoundTripOfPartialGames) {
    GameState game;
    Play(game, Squares({"d4", "f5", "h6", "g8", "e7"}));
    GameState copy;
    copy.LoadFromText(game.ToText());
    EXPECT_EQ(copy.MoveList, game.MoveList);
    EXPECT_EQ(copy.Board, game.Board);
}

}  // namespace
