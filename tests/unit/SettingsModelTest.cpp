#include <gtest/gtest.h>

#include "settings/Settings.h"

namespace {

TEST(SettingsModel, InitialValues) {
    const SettingsRecord fresh;
    EXPECT_EQ(fresh.CellSize, 70);
    EXPECT_EQ(fresh.CalcDuration, 1000);
    EXPECT_EQ(fresh.WhiteBgColor, 0xFFFFFFu);
    EXPECT_EQ(fresh.BlackBgColor, 0x000000u);
    EXPECT_EQ(fresh.WhiteFgColor, 0x000000u);
    EXPECT_EQ(fresh.BlackFgColor, 0xFFFFFFu);
    EXPECT_FALSE(fresh.SolidColor);
    EXPECT_FALSE(fresh.HandCursor);
    EXPECT_TRUE(fresh.HintsOn);
    EXPECT_FALSE(fresh.Mute);
    EXPECT_TRUE(fresh.CursorFile.empty() && fresh.WhiteImage.empty() && fresh.BlackImage.empty() &&
                fresh.KnightImage.empty());
    EXPECT_EQ(fresh.BoardCursor, nullptr);
}

TEST(SettingsModel, MaxCellSizeFitsEightRowsFrameAndCaption) {
    EXPECT_EQ(MaxCellSizeFor(1040, 3, 23), 125);  // (1040 - 6 - 23 - 7) / 8
    EXPECT_EQ(MaxCellSizeFor(1000, 3, 23), 120);
    EXPECT_EQ(MaxCellSizeFor(500, 3, 23), 58);
    EXPECT_EQ(MaxCellSizeFor(20, 3, 23), -2);  // truncates toward zero
}

struct LimitCase {
    int32_t value, current, max, expected;
};

TEST(SettingsModel, CellSizeLimits) {
    const LimitCase cases[] = {
        {20, 70, 125, 70},    {900, 70, 125, 125}, {0, 90, 125, 90},  {0, 20, 125, 70},
        {100, 70, 125, 100},  {-5, 70, 125, 70},   {80, 70, 57, 57},  {0, 70, 57, 57},
        {2147483647, 70, 125, 125},
    };
    for (const LimitCase& c : cases)
        EXPECT_EQ(LimitCellSize(c.value, c.current, c.max), c.expected)
            << c.value << " " << c.current << " " << c.max;
}

}  // namespace
