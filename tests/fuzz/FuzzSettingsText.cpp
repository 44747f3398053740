// Fuzzing the settings text reader: whatever the file holds, the fields read
// from it stay within their limits, and saving them and reading the saved text
// gives the same fields back (but for the two forms the writer narrows: the
// top byte of a colour and a negative time limit, which "%u" turns into a
// number above the signed range that reads back as the largest signed value).
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/Settings.h"
#include "settings/SettingsText.h"

SettingsRecord Settings;

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

constexpr int32_t MaxCell = 125;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Bytes as UTF-16 code units when the size is even, else one per byte, so
    // that both wide characters and plain ASCII are explored.
    std::wstring text;
    if (size % 2 == 0) {
        for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    } else {
        for (size_t i = 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);
    }

    for (const wchar_t* key : {L"CursorFile", L"CellSize", L"WhiteBgColor", L"Nothing"}) {
        int32_t position = 0;
        GetElement(text, key, position, L"default");
        Require(position == -1 || (position > 0 && static_cast<size_t>(position) <= text.size()));
        position = static_cast<int32_t>(text.size() / 2);
        GetElement(text, key, position, L"");
    }

    SettingsRecord first;
    LoadSettingsFromText(text, first, MaxCell);
    Require(first.CellSize >= 70 && first.CellSize <= MaxCell);

    SettingsRecord second;
    second.CellSize = 99;
    LoadSettingsFromText(SaveSettingsToText(first), second, MaxCell);
    Require(second.CursorFile == first.CursorFile && second.WhiteImage == first.WhiteImage &&
            second.BlackImage == first.BlackImage && second.KnightImage == first.KnightImage);
    Require(second.HandCursor == first.HandCursor && second.SolidColor == first.SolidColor);
    Require(second.CellSize == first.CellSize);
    Require(second.WhiteBgColor == (first.WhiteBgColor & 0xFFFFFFu));
    Require(second.BlackBgColor == (first.BlackBgColor & 0xFFFFFFu));
    Require(second.WhiteFgColor == (first.WhiteFgColor & 0xFFFFFFu));
    Require(second.BlackFgColor == (first.BlackFgColor & 0xFFFFFFu));
    Require(second.CalcDuration == (first.CalcDuration < 0 ? INT32_MAX : first.CalcDuration));
    return 0;
}
