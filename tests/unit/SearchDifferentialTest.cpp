// The game's tour search against the plain one it replaced: on the same
// positions, with the same clock and the same input, both must leave the same
// game record and make the same calls to the board window in the same order.
//
// The clock counts placed squares, so the time limit becomes a budget of
// squares and a run ends at the same square whatever the machine's speed.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "TestPositions.h"
#include "game/FastTourSearch.h"
#include "game/GameState.h"
#include "game/LiteralTourSearch.h"
#include "settings/Settings.h"

namespace {

// A small, fixed generator (SplitMix64): the same runs on every platform.
class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n - 1.
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(Next() % n); }
    bool OneIn(uint32_t n) { return Below(n) == 0; }

private:
    uint64_t state_;
};

enum class CallKind : uint8_t { Poll, WaitCursor, Clock, Refresh };

// One call of the search to its host, with what the host could see of the
// game at that moment.
struct HostCall {
    CallKind Kind;
    int32_t Depth;     // SearchDepth
    int32_t Placed;    // BoardIndex of Solution[SearchDepth] at a poll, else -1
    bool Running;      // SearchStartTick != 0
    uint64_t Squares;  // squares placed so far

    bool operator==(const HostCall& o) const {
        return Kind == o.Kind && Depth == o.Depth && Placed == o.Placed && Running == o.Running &&
               Squares == o.Squares;
    }
};

std::string Describe(const HostCall& call) {
    static const char* const names[] = {"poll", "wait cursor", "clock", "refresh"};
    std::ostringstream out;
    out << names[static_cast<int>(call.Kind)] << " depth " << call.Depth << " placed " << call.Placed
        << (call.Running ? " running" : " stopped") << " after " << call.Squares << " squares";
    return out.str();
}

// A board window whose clock reads ClockBase plus the number of placed
// squares, and which hands out input at chosen polls. It records every call.
class RecordingHost final : public SearchHost {
public:
    const GameState* Game = nullptr;
    uint32_t ClockBase = 1;
    uint64_t InputAtPoll = 0;  // 0 = never
    CancelInput Input = CancelInput::KeyPress;
    uint64_t OtherEvery = 0;  // an event that does not cancel at every such poll; 0 = never
    uint64_t Polls = 0;
    std::vector<HostCall> Calls;

    CancelInput PollCancelInput() override {
        ++Polls;
        const int32_t depth = Game->SearchDepth;
        const int32_t placed = depth >= 0 && depth < 64 ? BoardIndex(Game->Solution[depth]) : -1;
        Record(CallKind::Poll, placed);
        if (Polls == InputAtPoll) return Input;
        if (OtherEvery != 0 && Polls % OtherEvery == 0) return CancelInput::Other;
        return CancelInput::None;
    }
    void ShowWaitCursor() override { Record(CallKind::WaitCursor, -1); }
    void RefreshCursor() override { Record(CallKind::Refresh, -1); }
    uint32_t TickCount() override {
        Record(CallKind::Clock, -1);
        return ClockBase + static_cast<uint32_t>(Polls);
    }

private:
    void Record(CallKind kind, int32_t placed) {
        Calls.push_back(HostCall{kind, Game->SearchDepth, placed, Game->SearchStartTick != 0, Polls});
    }
};

// How a run ended: nothing to search; refused as already lost; a tour found;
// no tour, seen before any square was placed (cut off) or after searching
// (exhausted); stopped by the budget or by input.
enum class Outcome { Nothing, Refused, Found, CutOff, Exhausted, OverBudget, Cancelled, Count };
const char* const OutcomeNames[] = {"nothing",   "refused",     "found",    "cut off",
                                    "exhausted", "over budget", "cancelled"};

// One search, run by both searches from the same start.
struct SearchRun {
    GameState Start;
    bool Fill = true;
    int32_t Budget = 1000000;  // squares, through Settings.CalcDuration
    uint32_t ClockBase = 1;
    uint64_t InputAtPoll = 0;
    CancelInput Input = CancelInput::KeyPress;
    uint64_t OtherEvery = 0;
};

void ListFieldDifferences(std::ostringstream& out, const GameState& fast, const GameState& literal) {
    auto field = [&out](const char* name, bool same) {
        if (!same) out << " " << name;
    };
    field("Board", fast.Board == literal.Board);
    field("MoveList", fast.MoveList == literal.MoveList);
    field("MoveCount", fast.MoveCount == literal.MoveCount);
    field("FirstDoubtIndex", fast.FirstDoubtIndex == literal.FirstDoubtIndex);
    field("Solution", fast.Solution == literal.Solution);
    field("SearchDepth", fast.SearchDepth == literal.SearchDepth);
    field("MoveCounter", fast.MoveCounter == literal.MoveCounter);
    field("ErrorCounter", fast.ErrorCounter == literal.ErrorCounter);
    field("SearchStartTick", fast.SearchStartTick == literal.SearchStartTick);
    field("FirstErrorIndex", fast.FirstErrorIndex == literal.FirstErrorIndex);
}

class SearchComparison : public ::testing::Test {
protected:
    int32_t savedLimit = Settings.CalcDuration;
    RecordingHost fastHost, literalHost;
    int outcomes[static_cast<int>(Outcome::Count)] = {};

    void TearDown() override {
        Settings.CalcDuration = savedLimit;
        SetSquareCounting(SquareCounting::Automatic);
    }

    // Runs the plain search and the game's search, the latter with each way
    // of counting squares; returns an empty string when they all agree,
    // otherwise what differs. Counts the outcome of the plain search.
    std::string Compare(const SearchRun& run) {
        GameState literal = run.Start;
        Prepare(literalHost, literal, run);
        Settings.CalcDuration = run.Budget;
        const bool literalFound = FindTourLiteral(literal, run.Fill);
        Settings.CalcDuration = savedLimit;
        literal.BoardWindow = nullptr;
        Count(run, literal, literalFound);

        std::string differences;
        for (SquareCounting counting : {SquareCounting::Automatic, SquareCounting::Portable}) {
            GameState fast = run.Start;
            Prepare(fastHost, fast, run);
            SetSquareCounting(counting);
            Settings.CalcDuration = run.Budget;
            const bool fastFound = fast.FindTour(run.Fill);
            Settings.CalcDuration = savedLimit;
            SetSquareCounting(SquareCounting::Automatic);
            fast.BoardWindow = nullptr;

            std::ostringstream out;
            if (fastFound != literalFound) out << " result " << fastFound << " vs " << literalFound << ";";
            ListFieldDifferences(out, fast, literal);
            const std::vector<HostCall>& a = fastHost.Calls;
            const std::vector<HostCall>& b = literalHost.Calls;
            size_t i = 0;
            while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
            if (i < a.size() || i < b.size()) {
                out << "; host calls differ at call " << i << " of " << a.size() << " vs " << b.size() << ": "
                    << (i < a.size() ? Describe(a[i]) : "none") << " vs "
                    << (i < b.size() ? Describe(b[i]) : "none");
            }
            if (!out.str().empty()) {
                differences += counting == SquareCounting::Automatic ? " [automatic counting]" : " [portable counting]";
                differences += out.str();
            }
        }
        if (differences.empty()) return differences;
        return "position " + Narrow(run.Start.ToText()) + " fill " + std::to_string(run.Fill) + " budget " +
               std::to_string(run.Budget) + " clock " + std::to_string(run.ClockBase) + " input at " +
               std::to_string(run.InputAtPoll) + ":" + differences;
    }

    int Outcomes(Outcome o) const { return outcomes[static_cast<int>(o)]; }

    std::string OutcomeSummary() const {
        std::string s;
        for (int o = 0; o < static_cast<int>(Outcome::Count); ++o)
            s += std::string(OutcomeNames[o]) + " " + std::to_string(outcomes[o]) + "  ";
        return s;
    }

private:
    static std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

    static void Prepare(RecordingHost& host, GameState& game, const SearchRun& run) {
        host.Game = &game;
        host.ClockBase = run.ClockBase;
        host.InputAtPoll = run.InputAtPoll;
        host.Input = run.Input;
        host.OtherEvery = run.OtherEvery;
        host.Polls = 0;
        host.Calls.clear();
        game.BoardWindow = &host;
    }

    void Count(const SearchRun& run, const GameState& after, bool found) {
        const int32_t n = run.Start.MoveCount;
        Outcome o;
        if (literalHost.Calls.empty()) {
            o = found ? Outcome::Nothing : Outcome::Refused;
        } else if (found) {
            o = Outcome::Found;
        } else if (after.FirstErrorIndex == n - 1 && run.Start.FirstErrorIndex != n - 1) {
            o = literalHost.Polls == 0 ? Outcome::CutOff : Outcome::Exhausted;
        } else if (run.InputAtPoll != 0 && literalHost.Polls >= run.InputAtPoll) {
            o = Outcome::Cancelled;
        } else {
            o = Outcome::OverBudget;
        }
        outcomes[static_cast<int>(o)] += 1;
    }
};

// A random walk of the knight of the given length, as a game. When the
// knight gets stuck the walk is tried again, and after 20 tries the longest
// one is kept. The walk is drawn on a plain visited table and only then
// played into the game, which checks every move for cut-off squares.
GameState RandomWalk(SeededRandom& random, int32_t length) {
    Square best[64];
    int32_t bestLength = 0;
    for (int attempt = 0; attempt < 20 && bestLength < length; ++attempt) {
        Square walk[64];
        bool visited[64] = {};
        walk[0] = SquareAt(static_cast<int>(random.Below(64)));
        visited[BoardIndex(walk[0])] = true;
        int32_t made = 1;
        while (made < length) {
            Square options[8];
            uint32_t count = 0;
            for (KnightJump j : KnightJumps) {
                const Square s{walk[made - 1].File + j.dFile, walk[made - 1].Rank + j.dRank};
                if (IsOnBoard(s) && !visited[BoardIndex(s)]) options[count++] = s;
            }
            if (count == 0) break;
            walk[made] = options[random.Below(count)];
            visited[BoardIndex(walk[made])] = true;
            ++made;
        }
        if (made > bestLength) {
            for (int32_t i = 0; i < made; ++i) best[i] = walk[i];
            bestLength = made;
        }
    }
    GameState game;
    for (int32_t i = 0; i < bestLength; ++i) {
        EXPECT_TRUE(game.IsLegalMove(best[i]));
        game.MakeMove(best[i]);
    }
    return game;
}

// Budgets in placed squares: mostly small, now and then large enough for a
// long exhaustive search.
int32_t RandomBudget(SeededRandom& random) {
    if (random.OneIn(200)) return 5000 + static_cast<int32_t>(random.Below(10000));
    if (random.OneIn(4)) return static_cast<int32_t>(random.Below(40));
    return 40 + static_cast<int32_t>(random.Below(400));
}

// Clock readings at the start: the ordinary case, a clock that reads 0 when
// the search starts, and a clock about to wrap around.
uint32_t RandomClockBase(SeededRandom& random) {
    switch (random.Below(4)) {
    case 0:
        return 0;
    case 1:
        return 0xFFFFFFFFu - random.Below(300);
    default:
        return 1 + static_cast<uint32_t>(random.Next() % 0x7FFFFFFFu);
    }
}

struct StartCase {
    const char* name;
    bool fill;
    int32_t budget;
    uint32_t clockBase;
};

TEST_F(SearchComparison, EverySingleStartingSquare) {
    const StartCase cases[] = {
        {"fill, ample time", true, 1000000, 5000},
        {"fill, clock reading 0 at the start", true, 1000000, 0},
        {"fill, clock wrapping around", true, 1000000, 0xFFFFFFFFu - 100},
        {"fill, 70 squares", true, 70, 5000},
        {"fill, 2000 squares", true, 2000, 1},
        {"check only (nothing to search)", false, 1000000, 5000},
    };
    for (const StartCase& c : cases) {
        for (int index = 0; index < 64; ++index) {
            SearchRun run;
            run.Start.MakeMove(SquareAt(index));
            run.Fill = c.fill;
            run.Budget = c.budget;
            run.ClockBase = c.clockBase;
            const std::string differences = Compare(run);
            EXPECT_TRUE(differences.empty()) << c.name << ": " << differences;
        }
    }
    // Every start has a tour within ample time; the short budgets stop the
    // few starts that back up a lot (d4 among them).
    EXPECT_EQ(Outcomes(Outcome::Found), 5 * 64 - Outcomes(Outcome::OverBudget)) << OutcomeSummary();
    EXPECT_GT(Outcomes(Outcome::OverBudget), 0) << OutcomeSummary();
    EXPECT_EQ(Outcomes(Outcome::Nothing), 64) << OutcomeSummary();
}

TEST_F(SearchComparison, TenThousandSeededRandomWalks) {
    SeededRandom random(0x4F7276616Eull);
    int failures = 0;
    for (int p = 0; p < 10000; ++p) {
        SearchRun run;
        run.Start = RandomWalk(random, 4 + static_cast<int32_t>(random.Below(59)));
        // A position already marked lost is refused without a search. Half
        // of them lose the mark, so that the search meets cut-off squares at
        // its first level and in positions the game itself never searches.
        if (run.Start.FirstErrorIndex != NoIndex && random.OneIn(2)) run.Start.FirstErrorIndex = NoIndex;
        run.Fill = !random.OneIn(3);
        run.Budget = RandomBudget(random);
        run.ClockBase = RandomClockBase(random);
        run.OtherEvery = random.OneIn(5) ? 1 + random.Below(7) : 0;
        const std::string differences = Compare(run);
        if (!differences.empty() && ++failures <= 5) ADD_FAILURE() << "walk " << p << ": " << differences;
    }
    EXPECT_EQ(failures, 0);
    // The walks must reach every way a search can end, or the comparison
    // proves little.
    for (Outcome o : {Outcome::Refused, Outcome::Found, Outcome::CutOff, Outcome::Exhausted, Outcome::OverBudget})
        EXPECT_GE(Outcomes(o), 100) << OutcomeNames[static_cast<int>(o)] << ": " << OutcomeSummary();
    std::printf("    random walks: %s\n", OutcomeSummary().c_str());
}

TEST_F(SearchComparison, CancelledAtSeededPolls) {
    SeededRandom random(0x4B6E69676874ull);
    int failures = 0, runs = 0;
    while (runs < 2000) {
        SearchRun run;
        run.Start = RandomWalk(random, 4 + static_cast<int32_t>(random.Below(59)));
        if (run.Start.FirstErrorIndex != NoIndex || run.Start.MoveCount < 2) continue;  // nothing would be searched
        ++runs;
        run.Fill = random.OneIn(2);
        run.Budget = random.OneIn(4) ? RandomBudget(random) : 1000000;
        run.ClockBase = RandomClockBase(random);
        run.InputAtPoll = 1 + random.Below(random.OneIn(10) ? 3000 : 200);
        run.Input = random.OneIn(2) ? CancelInput::KeyPress : CancelInput::LeftButton;
        run.OtherEvery = random.OneIn(3) ? 1 + random.Below(5) : 0;
        const std::string differences = Compare(run);
        if (!differences.empty() && ++failures <= 5) ADD_FAILURE() << "run " << runs << ": " << differences;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GE(Outcomes(Outcome::Cancelled), 500) << OutcomeSummary();
    EXPECT_GE(Outcomes(Outcome::Found), 100) << OutcomeSummary();
    std::printf("    cancelled runs: %s\n", OutcomeSummary().c_str());
}

// Positions of the other solver tests, where the search behaviour is known
// to be delicate.
struct KnownCase {
    const char* name;
    const char* text;
    bool clearErrorMark;
};

TEST_F(SearchComparison, KnownPositions) {
    const KnownCase cases[] = {
        {"long exhaustive search", "E3;C4;E5;G6;E7;C8;B6;A8;C7;E8;G7;E6;D4;B3;C5;D3;F4;H3;G1;F3;G5;H7", false},
        {"a1 cut off at move 2, mark cleared", "B3;D4;C2;E1", true},
        {"two moves from a1", "A1;B3", false},
    };
    // Fill searches with budgets around the first backtracks and one ample
    // one; a check search (fill false) with a middling budget.
    const struct {
        int32_t budget;
        bool fill;
    } runs[] = {{1, true}, {2, true}, {63, true}, {64, true}, {65, true}, {500, false}, {1000000, true}};
    for (const KnownCase& c : cases) {
        for (const auto& r : runs) {
            SearchRun run;
            run.Start.LoadFromText(Widen(c.text));
            if (c.clearErrorMark) run.Start.FirstErrorIndex = NoIndex;
            run.Fill = r.fill;
            run.Budget = r.budget;
            const std::string differences = Compare(run);
            EXPECT_TRUE(differences.empty()) << c.name << ", budget " << r.budget << ": " << differences;
        }
    }
}

}  // namespace
