#include <gtest/gtest.h>

#include "view/KnightFit.h"

namespace {

struct FitCase {
    const char* name;
    unsigned width, height;
    int cell;
    float x, y, w, h;
};

TEST(KnightFit, KeepsTheProportionsAndCentresInTheSquare) {
    const FitCase cases[] = {
        {"built-in knight, portrait", 200, 278, 70, 9.820143f, 0.0f, 50.359715f, 70.0f},
        {"landscape", 300, 200, 60, 0.0f, 10.0f, 60.0f, 40.0f},
        {"square picture fills the cell", 128, 128, 73, 0.0f, 0.0f, 73.0f, 73.0f},
        {"tall and thin", 30, 90, 90, 30.0f, 0.0f, 30.0f, 90.0f},
    };
    for (const FitCase& c : cases) {
        const KnightPlacement fit = FitKnight(c.width, c.height, c.cell);
        EXPECT_FLOAT_EQ(fit.X, c.x) << c.name;
        EXPECT_FLOAT_EQ(fit.Y, c.y) << c.name;
        EXPECT_FLOAT_EQ(fit.Width, c.w) << c.name;
        EXPECT_FLOAT_EQ(fit.Height, c.h) << c.name;
    }
}

}  // namespace
