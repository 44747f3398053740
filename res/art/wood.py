"""Wood textures for the board squares.

Everything is built from value noise on lattices whose periods divide the
tile size, so the textures wrap around at the edges.  The grain runs
vertically: growth rings are bands across x, bent by low-frequency noise,
with fine fibre streaks and (for the dark wood) small pores on top.
"""

import math
import random

from raster import ramp, rgb


class Noise:
    """Tileable 2-D value noise with smooth interpolation."""

    def __init__(self, rng, cells_x, cells_y, size):
        self.cx, self.cy, self.size = cells_x, cells_y, size
        self.v = [[rng.random() for _ in range(cells_x)]
                  for _ in range(cells_y)]

    def __call__(self, x, y):
        fx = (x / self.size) * self.cx
        fy = (y / self.size) * self.cy
        ix, iy = math.floor(fx), math.floor(fy)
        tx, ty = fx - ix, fy - iy
        tx = tx * tx * (3 - 2 * tx)
        ty = ty * ty * (3 - 2 * ty)
        x0, x1 = ix % self.cx, (ix + 1) % self.cx
        y0, y1 = iy % self.cy, (iy + 1) % self.cy
        v = self.v
        a = v[y0][x0] + (v[y0][x1] - v[y0][x0]) * tx
        b = v[y1][x0] + (v[y1][x1] - v[y1][x0]) * tx
        return a + (b - a) * ty


def wood(size, seed, colours, rings, warp, fibre, pores, figure):
    rng = random.Random(seed)
    bend = Noise(rng, 2, 2, size)         # slow bending of the rings
    wave = Noise(rng, 4, 3, size)
    fib = Noise(rng, 30, 2, size)         # long thin fibres
    fib2 = Noise(rng, 60, 4, size)
    blot = Noise(rng, 3, 3, size)         # broad colour variation
    ribbon = Noise(rng, 6, 1, size)       # lengthwise light/dark stripes
    pore = Noise(rng, 60, 10, size)
    out = []
    for y in range(size):
        for x in range(size):
            v = (x / size) * rings + warp * (bend(x, y) - 0.5) \
                + 0.4 * warp * (wave(x, y) - 0.5)
            f = v - math.floor(v)
            # early wood fades slowly into a narrow dark late-wood band
            band = f ** 3 if f < 0.86 else (1.0 - f) / 0.14 * 0.86 ** 3
            ring_line = math.exp(-((f - 0.87) / 0.045) ** 2)
            t = 0.60 - 0.30 * band
            t += figure * (0.5 * (blot(x, y) - 0.5) + 0.6 * (ribbon(x, y) - 0.5))
            t -= fibre * (fib(x, y) - 0.5) + 0.7 * fibre * (fib2(x, y) - 0.5)
            t -= 0.20 * ring_line
            if pores:
                p = pore(x, y)
                if p > 0.84:
                    t -= pores * (p - 0.84) / 0.16
            out.append(ramp(colours, max(0.0, min(1.0, t))))
    return out


LIGHT_WOOD = [(0.0, rgb("c9a16c")), (0.35, rgb("dcbd8c")),
              (0.65, rgb("ebd6ae")), (1.0, rgb("f7ead0"))]
DARK_WOOD = [(0.0, rgb("361208")), (0.35, rgb("572214")),
             (0.65, rgb("74331f")), (1.0, rgb("96492b"))]


def light_wood(size=60):
    return wood(size, 1947, LIGHT_WOOD, rings=5, warp=0.6, fibre=0.18,
                pores=0.0, figure=0.35)


def dark_wood(size=60):
    return wood(size, 1851, DARK_WOOD, rings=4, warp=0.7, fibre=0.24,
                pores=0.25, figure=0.45)


_BAYER4 = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def to_rgb555(pixels, size):
    """Reduce to 5 bits per channel with an ordered dither (4x4 Bayer,
    which repeats evenly on a 60 px tile)."""
    out = []
    for i, (r, g, b) in enumerate(pixels):
        x, y = i % size, i // size
        d = (_BAYER4[y & 3][x & 3] + 0.5) / 16.0
        out.append(tuple(min(31, int(c * 31.0 + d)) for c in (r, g, b)))
    return out


def rgb555_to_rgb8(px):
    return [tuple((c << 3) | (c >> 2) for c in p) for p in px]
