// tour-bench: the game's tour solver on the command line.
//
//   tour-bench solve [--limit-ms N]   one line per position text read from stdin
//   tour-bench                        the benchmark table; it ends with the line
//                                     "squares/s fast=<N> literal=<M> ratio=<R>"
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <time.h>
#endif

#include "game/GameState.h"
#include "game/LiteralTourSearch.h"
#include "settings/Settings.h"

// Heap allocations are counted while a search runs: the search promises none.
namespace {
std::atomic<bool> countingAllocations{false};
std::atomic<uint64_t> allocationsDuringSearch{0};
}  // namespace

void* operator new(std::size_t size) {
    if (countingAllocations.load(std::memory_order_relaxed)) ++allocationsDuringSearch;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using Clock = std::chrono::steady_clock;

// A host with a real millisecond clock that counts the placed squares.
class BenchHost final : public SearchHost {
public:
    uint64_t Polls = 0;
    CancelInput PollCancelInput() override {
        ++Polls;
        return CancelInput::None;
    }
    void ShowWaitCursor() override {}
    void RefreshCursor() override {}
    // A millisecond clock as cheap as the game's GetTickCount: the search
    // reads it at every backtrack, and a precise clock would cost more than
    // the search's own work there.
    uint32_t TickCount() override {
#ifdef _WIN32
        return ::GetTickCount();
#else
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
        return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
#endif
    }
};

// A host whose clock counts the placed squares: the time limit becomes a
// budget of squares, so that both searches do exactly the same work.
class BudgetHost final : public SearchHost {
public:
    uint64_t Polls = 0;
    CancelInput PollCancelInput() override {
        ++Polls;
        return CancelInput::None;
    }
    void ShowWaitCursor() override {}
    void RefreshCursor() override {}
    uint32_t TickCount() override { return static_cast<uint32_t>(Polls) + 1; }
};

struct SearchRun {
    const char* outcome;
    uint64_t squares;
    double micros;
};

SearchRun RunSearch(GameState& game, bool fill) {
    BenchHost host;
    game.BoardWindow = &host;
    const int32_t n = game.MoveCount;
    const bool nothing = n == NoIndex || (fill && n < 1) || (!fill && n < 2);
    const bool refused = !nothing && game.FirstErrorIndex < n;
    const auto start = Clock::now();
    countingAllocations = true;
    const bool found = game.FindTour(fill);
    countingAllocations = false;
    const double micros = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    game.BoardWindow = nullptr;
    const char* outcome = nothing   ? "nothing"
                          : refused ? "refused"
                          : found   ? "found"
                          : game.FirstErrorIndex == n - 1 ? "exhausted"
                                                          : "stopped";
    return SearchRun{outcome, host.Polls, micros};
}

std::string Narrow(const std::wstring& w) { return std::string(w.begin(), w.end()); }

int Solve(int32_t limitMs) {
    Settings.CalcDuration = limitMs;
    std::string line;
    while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        GameState game;
        game.LoadFromText(std::wstring(line.begin(), line.end()));
        const SearchRun run = RunSearch(game, true);
        std::printf("%s %d %d %d %d %llu %.0f %s\n", run.outcome, game.MoveCount, game.FirstDoubtIndex,
                    game.FirstErrorIndex, game.ErrorCounter, static_cast<unsigned long long>(run.squares),
                    run.micros, Narrow(game.ToText()).c_str());
    }
    return 0;
}

// A small, fixed generator: the same positions on every platform.
class SplitMix {
public:
    explicit SplitMix(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint64_t>(n)); }

private:
    uint64_t state_;
};

// A random legal walk of the given length (shorter when the knight gets stuck
// every time in 100 tries).
std::wstring RandomWalk(SplitMix& rng, int length) {
    GameState best;
    for (int attempt = 0; attempt < 100; ++attempt) {
        GameState game;
        game.MakeMove(SquareAt(rng.Below(64)));
        while (game.MoveCount < length) {
            Square options[8];
            int count = 0;
            const Square last = game.MoveList[game.MoveCount - 1];
            for (KnightJump j : KnightJumps) {
                const Square s{last.File + j.dFile, last.Rank + j.dRank};
                if (game.IsLegalMove(s)) options[count++] = s;
            }
            if (count == 0) break;
            game.MakeMove(options[rng.Below(count)]);
        }
        if (game.MoveCount > best.MoveCount || game.MoveCount == NoIndex) best = game;
        if (game.MoveCount >= length) break;
    }
    return best.ToText();
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// The positions of (a) and (b): the 64 starting squares and the seeded walks.
std::vector<GameState> BenchPositions(int walks) {
    std::vector<GameState> out;
    for (int i = 0; i < 64; ++i) {
        GameState game;
        game.MakeMove(SquareAt(i));
        out.push_back(game);
    }
    SplitMix rng(20261211);
    for (int p = 0; p < walks; ++p) {
        const std::wstring text = RandomWalk(rng, 8 + rng.Below(53));
        GameState game;
        game.LoadFromText(text);
        out.push_back(game);
    }
    return out;
}

struct Totals {
    uint64_t squares = 0;
    double micros = 0;
    int found = 0;
};

// One fill search with the square-counting clock; adds its figures to totals.
template <typename Search>
void RunBudgeted(const GameState& start, Search search, Totals& totals) {
    GameState game = start;
    BudgetHost host;
    game.BoardWindow = &host;
    const auto begin = Clock::now();
    countingAllocations = true;
    const bool found = search(game);
    countingAllocations = false;
    totals.micros += std::chrono::duration<double, std::micro>(Clock::now() - begin).count();
    totals.squares += host.Polls;
    totals.found += found ? 1 : 0;
}

int CompareSearches(int walks) {
    const int32_t budget = 100000;
    const std::vector<GameState> positions = BenchPositions(walks);
    std::printf("\n(e) the game's search and the plain one on the positions of (a) and (b), fill search,\n"
                "    a clock that counts placed squares, limit %d squares\n",
                budget);
    Settings.CalcDuration = budget;
    const uint64_t allocationsBefore = allocationsDuringSearch.load();
    Totals fast, literal;
    // Position by position, one search after the other, so that both meet
    // the same conditions on a busy machine.
    for (const GameState& start : positions) {
        RunBudgeted(start, [](GameState& game) { return FindTourLiteral(game, true); }, literal);
        RunBudgeted(start, [](GameState& game) { return game.FindTour(true); }, fast);
    }
    const uint64_t allocations = allocationsDuringSearch.load() - allocationsBefore;
    const bool same = fast.squares == literal.squares && fast.found == literal.found;
    std::printf("    %-8s %12s %12s %8s\n", "search", "squares", "ms", "tours");
    std::printf("    %-8s %12llu %12.1f %8d\n", "fast", static_cast<unsigned long long>(fast.squares),
                fast.micros / 1000, fast.found);
    std::printf("    %-8s %12llu %12.1f %8d\n", "literal", static_cast<unsigned long long>(literal.squares),
                literal.micros / 1000, literal.found);
    std::printf("    same squares placed: %s; heap allocations during these searches: %llu\n", same ? "yes" : "NO",
                static_cast<unsigned long long>(allocations));
    const double fastRate = fast.micros > 0 ? static_cast<double>(fast.squares) * 1e6 / fast.micros : 0.0;
    const double literalRate =
        literal.micros > 0 ? static_cast<double>(literal.squares) * 1e6 / literal.micros : 0.0;
    std::printf("squares/s fast=%.0f literal=%.0f ratio=%.1f\n", fastRate, literalRate,
                literalRate > 0 ? fastRate / literalRate : 0.0);
    return same && allocations == 0 ? 0 : 1;
}

int Benchmark() {
    uint64_t totalSquares = 0;
    double totalMicros = 0;

    std::printf("(a) fill search from each of the 64 starting squares, limit 1000 ms\n");
    Settings.CalcDuration = 1000;
    uint64_t startSquares = 0, worstSquares = 0;
    double startMicros = 0, worstMicros = 0;
    int worstStart = 0, startsFound = 0;
    for (int i = 0; i < 64; ++i) {
        GameState game;
        game.MakeMove(SquareAt(i));
        const SearchRun run = RunSearch(game, true);
        startsFound += std::strcmp(run.outcome, "found") == 0 ? 1 : 0;
        startSquares += run.squares;
        startMicros += run.micros;
        if (run.squares > worstSquares) {
            worstSquares = run.squares;
            worstMicros = run.micros;
            worstStart = i;
        }
    }
    totalSquares += startSquares;
    totalMicros += startMicros;
    std::printf("    tours found %d of 64; squares placed %llu in %.1f ms\n", startsFound,
                static_cast<unsigned long long>(startSquares), startMicros / 1000);
    std::printf("    worst start %c%c: %llu squares in %.1f ms\n", 'a' + worstStart / 8, '1' + worstStart % 8,
                static_cast<unsigned long long>(worstSquares), worstMicros / 1000);

    const int positions = 1000;
    const int32_t limit = 100;
    std::printf("\n(b) %d seeded random positions (walks of 8 to 60 moves), fill search, limit %d ms\n", positions,
                limit);
    Settings.CalcDuration = limit;
    SplitMix rng(20261211);
    std::vector<double> times[3];
    const char* classes[3] = {"found", "exhausted", "stopped"};
    int other = 0;
    for (int p = 0; p < positions; ++p) {
        const std::wstring text = RandomWalk(rng, 8 + rng.Below(53));
        GameState game;
        game.LoadFromText(text);
        const SearchRun run = RunSearch(game, true);
        totalSquares += run.squares;
        totalMicros += run.micros;
        bool counted = false;
        for (int c = 0; c < 3; ++c) {
            if (std::strcmp(run.outcome, classes[c]) == 0) {
                times[c].push_back(run.micros / 1000);
                counted = true;
            }
        }
        other += counted ? 0 : 1;
    }
    std::printf("    %-10s %6s %12s %12s\n", "outcome", "count", "median ms", "p95 ms");
    for (int c = 0; c < 3; ++c)
        std::printf("    %-10s %6zu %12.3f %12.3f\n", classes[c], times[c].size(), Percentile(times[c], 0.5),
                    Percentile(times[c], 0.95));
    std::printf("    %-10s %6d   (already lost when loaded: refused at once)\n", "refused", other);

    std::printf("\n(c) squares placed per second overall: %.0f (%llu squares in %.1f ms)\n",
                totalMicros > 0 ? static_cast<double>(totalSquares) * 1e6 / totalMicros : 0.0,
                static_cast<unsigned long long>(totalSquares), totalMicros / 1000);
    std::printf("(d) heap allocations during searches: %llu\n",
                static_cast<unsigned long long>(allocationsDuringSearch.load()));

    return CompareSearches(positions);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "solve") == 0) {
        int32_t limit = 1000;
        for (int i = 2; i < argc; ++i) {
            if (std::strcmp(argv[i], "--limit-ms") == 0 && i + 1 < argc) {
                limit = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 10));
            } else {
                std::fprintf(stderr, "usage: tour-bench [solve [--limit-ms N]]\n");
                return 2;
            }
        }
        return Solve(limit);
    }
    if (argc > 1) {
        std::fprintf(stderr, "usage: tour-bench [solve [--limit-ms N]]\n");
        return 2;
    }
    return Benchmark();
}
