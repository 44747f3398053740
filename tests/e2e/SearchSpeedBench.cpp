// Benchmarks of the tour search inside the running program: how long the
// "Solution" command takes for given positions, and how soon a key press
// stops a long search. Run by bench/in-program-bench.sh, which also runs
// tour-bench on the same positions and compares.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "Controls.h"
#include "Driver.h"
#include "E2eTest.h"

using namespace e2e;

namespace {

// The position texts, one per line, from the file the benchmark script names.
std::vector<std::string> BenchPositions() {
    std::vector<std::string> texts;
    wchar_t path[1024] = L"";
    if (!GetEnvironmentVariableW(L"WORVAN_BENCH_POSITIONS", path, 1024)) return texts;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty() && line[0] != '#') texts.push_back(line);
    }
    return texts;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

std::string PositionsFileOf(const std::vector<std::string>& texts) {
    std::string ini = "[WOrvan]\r\n";
    for (size_t i = 0; i < texts.size(); ++i) ini += "bench" + std::to_string(i) + "=" + texts[i] + "\r\n";
    return ini;
}

// A posted message starts a new idle period, so the idle update brings the
// buttons up to date; sent messages alone do not.
void Settle(Game& game) {
    PostMessageW(game.MainWindow(), WM_NULL, 0, 0);
    game.WaitUntilIdle();
}

void LoadNamed(Game& game, const std::string& name) {
    game.EnterName(std::wstring(name.begin(), name.end()));
    Settle(game);
    game.Press(LoadButton);
    game.WaitUntilIdle();
}

}  // namespace

E2E_BENCH(bench_solution_command) {
    const std::vector<std::string> texts = BenchPositions();
    REQUIRE(!texts.empty());
    WritePositionsFile(PositionsFileOf(texts));
    Game game;
    REQUIRE(game.Start());
    for (size_t i = 0; i < texts.size(); ++i) {
        LoadNamed(game, "bench" + std::to_string(i));
        LARGE_INTEGER start, end;
        DWORD_PTR ignored = 0;
        QueryPerformanceCounter(&start);
        SendMessageTimeoutW(game.Board(), WM_COMMAND, LastButton, 0, SMTO_NORMAL, 120000, &ignored);
        QueryPerformanceCounter(&end);
        Settle(game);
        const bool replay = game.IsShown(FirstButton);
        std::printf("RESULT %zu %s %.1f\n", i, replay ? "found" : "none", Milliseconds(start, end));
        CHECK(game.IsRunning());
        game.Press(NewGameButton);
        game.WaitUntilIdle();
    }
}

E2E_BENCH(bench_key_press_stops_a_search) {
    const std::vector<std::string> texts = BenchPositions();
    REQUIRE(!texts.empty());
    // The last position is one the search cannot settle for a long time.
    WriteSettingsFile("<CalcDuration>120000</CalcDuration>\r\n");
    WritePositionsFile(PositionsFileOf({texts.back()}));
    Game game;
    REQUIRE(game.Start());
    const HWND mute = game.Control(MuteBox);
    for (int run = 0; run < 5; ++run) {
        LoadNamed(game, "bench0");
        const LRESULT checkedBefore = SendMessageW(mute, BM_GETCHECK, 0, 0);
        PostMessageW(game.Board(), WM_COMMAND, LastButton, 0);
        Sleep(400);  // the search is under way
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        PostMessageW(game.Board(), WM_KEYDOWN, 'X', 1);
        // A click posted to "Mute" is handled by the message loop only once
        // the search has returned; its check mark tells when.
        PostMessageW(mute, BM_CLICK, 0, 0);
        bool stopped = false;
        for (int look = 0; look < 20000 && !stopped; ++look) {
            stopped = SendMessageW(mute, BM_GETCHECK, 0, 0) != checkedBefore;
            if (!stopped) Sleep(1);
        }
        QueryPerformanceCounter(&end);
        CHECK(stopped);
        std::printf("RESULT stop %d %.1f\n", run, Milliseconds(start, end));
        Settle(game);
        CHECK(!game.IsShown(FirstButton));  // stopped, not solved
    }
}
