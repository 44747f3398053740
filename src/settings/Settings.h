// The process-wide record of user preferences and run-time switches.
#pragma once

#include <cstdint>
#include <string>

// A platform cursor handle; the core only carries it.
using CursorHandle = void*;

// Colours are 0x00BBGGRR: red in the lowest byte.
using ColorRef = uint32_t;

constexpr int32_t MinCellSize = 70;
constexpr int32_t DefaultCellSize = 70;
constexpr int32_t DefaultCalcDuration = 1000;

struct SettingsRecord {
    std::wstring CursorFile;
    bool HandCursor = false;
    CursorHandle BoardCursor = nullptr;
    bool SolidColor = false;
    int32_t CellSize = DefaultCellSize;
    ColorRef WhiteBgColor = 0xFFFFFF;
    ColorRef BlackBgColor = 0x000000;
    ColorRef WhiteFgColor = 0x000000;
    ColorRef BlackFgColor = 0xFFFFFF;
    std::wstring WhiteImage;
    std::wstring BlackImage;
    std::wstring KnightImage;
    bool HintsOn = true;
    bool Mute = false;
    int32_t CalcDuration = DefaultCalcDuration;  // milliseconds
    std::wstring HelpFilePath;
};

// The one instance. Each program defines it once: the game program in a unit
// that also reads the settings file at start-up, the tests and tools plainly.
extern SettingsRecord Settings;

// Largest cell size for which eight rows, the dialog frame and the caption fit
// into a work area of the given height.
int32_t MaxCellSizeFor(int32_t workAreaHeight, int32_t dialogFrameHeight, int32_t captionHeight);

// The largest cell size on this screen; supplied by the Windows layer from the
// work area, dialog frame and caption heights via MaxCellSizeFor.
int32_t MaxCellSize();

// The cell size after reading value: 0 keeps current; then at least 70, then at
// most maxCellSize (the upper limit wins).
int32_t LimitCellSize(int32_t value, int32_t current, int32_t maxCellSize);
