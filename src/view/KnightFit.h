// Where the knight picture goes inside its square: scaled to fit with its
// proportions kept and centred, in single precision as the drawing layer
// takes it.
#pragma once

struct KnightPlacement {
    float X, Y, Width, Height;
};

inline KnightPlacement FitKnight(unsigned width, unsigned height, int cellSize) {
    const float c = static_cast<float>(cellSize);
    if (width > height) {  // landscape
        const float h = (c / static_cast<float>(width)) * static_cast<float>(height);
        return KnightPlacement{0.0f, (c - h) * 0.5f, c, h};
    }
    const float w = (c / static_cast<float>(height)) * static_cast<float>(width);
    return KnightPlacement{(c - w) * 0.5f, 0.0f, w, c};
}
