"""The small grey glyphs on the navigation and advice buttons.

The 48 px images are smooth vector drawings with a dark rim.  The 24 and
16 px ones are laid out on their own pixel grid (chevron arms as exact 45
degree stairs, the question mark as hand-placed pixels) so they stay crisp
on the small push buttons instead of being shrunk from the big one."""

import math

from raster import Canvas, coverage, ellipse, lerp, rect, stroke

# per size: chevron half-height, horizontal arm thickness, gap between the
# two chevrons, bar width, gap between bar and chevron
LAYOUT = {
    48: dict(hh=14, t=8, gap=5, bar=6, bar_gap=4),
    24: dict(hh=7, t=4, gap=2, bar=3, bar_gap=2),
    16: dict(hh=5, t=3, gap=1, bar=2, bar_gap=1),
}

TOP = (156 / 255.0, 156 / 255.0, 156 / 255.0)
BOTTOM = (84 / 255.0, 84 / 255.0, 84 / 255.0)
SMALL_TOP = (118 / 255.0, 118 / 255.0, 118 / 255.0)
SMALL_BOTTOM = (70 / 255.0, 70 / 255.0, 70 / 255.0)
EDGE = (46 / 255.0, 46 / 255.0, 46 / 255.0)
RIM = 1.3           # outline width of the 48 px glyphs


def _grey(size, top_y=0, bottom_y=None):
    top, bottom = (TOP, BOTTOM) if size >= 32 else (SMALL_TOP, SMALL_BOTTOM)
    if bottom_y is None:
        bottom_y = size

    def colour(x, y, i):
        t = (y + 0.5 - top_y) / float(bottom_y - top_y)
        return lerp(top, bottom, max(0.0, min(1.0, t)))
    return colour


# ---------------------------------------------------------------- chevrons

def _chevron_layout(size, bar):
    L = LAYOUT[size]
    hh, t, gap = L["hh"], L["t"], L["gap"]
    if bar:
        hh -= 1 if size < 32 else 2
    width = hh + t + (t + gap)
    if bar:
        width += L["bar"] + L["bar_gap"]
    x0 = (size - width) // 2
    cy = size // 2
    parts = []
    if bar:
        parts.append(("bar", x0, L["bar"]))
        x0 += L["bar"] + L["bar_gap"]
    parts.append(("chev", x0, t))
    parts.append(("chev", x0 + t + gap, t))
    return parts, hh, cy


def _mirror_mask(m, size):
    return [m[(i // size) * size + (size - 1 - i % size)]
            for i in range(size * size)]


def _chevrons_small(size, bar, direction):
    parts, hh, cy = _chevron_layout(size, bar)
    m = [0.0] * (size * size)
    for y in range(cy - hh, cy + hh):
        k = abs(y + 0.5 - cy) - 0.5          # 0 on the two middle rows
        for kind, x0, t in parts:
            if kind == "bar":
                xs = range(x0, x0 + t)
            else:
                a = int(x0 + k)
                xs = range(a, a + t)
            for x in xs:
                m[y * size + x] = 1.0
    if direction == "right":
        m = _mirror_mask(m, size)
    c = Canvas(size, size)
    c.paint(m, _grey(size, cy - hh, cy + hh))
    return c


def _chevrons_big(size, bar, direction):
    parts, hh, cy = _chevron_layout(size, bar)
    polys = []
    for kind, x0, t in parts:
        if kind == "bar":
            polys += rect(x0, cy - hh, x0 + t, cy + hh)
        else:
            polys.append([(x0, cy), (x0 + hh, cy - hh), (x0 + hh + t, cy - hh),
                          (x0 + t, cy), (x0 + hh + t, cy + hh),
                          (x0 + hh, cy + hh)])
    if direction == "right":
        polys = [[(size - x, y) for x, y in p][::-1] for p in polys]
    return _rimmed(size, polys, cy - hh, cy + hh)


def _rimmed(size, polys, top_y, bottom_y):
    """Fill with the grey gradient inside a dark rim of width RIM."""
    c = Canvas(size, size)
    cov = coverage(polys, size, size, ss=16)
    ring = []
    for p in polys:
        ring += stroke(p, RIM * 2, closed=True)
    rim = coverage(ring, size, size, ss=16)
    c.paint([max(a, b) for a, b in zip(cov, rim)], EDGE)
    c.paint([max(0.0, a - b) for a, b in zip(cov, rim)],
            _grey(size, top_y, bottom_y))
    return c


def chevrons(size, bar=False, direction="left"):
    """Double chevron pointing `direction`, with a bar at its point when
    `bar` is set (|<< and >>|)."""
    if size < 32:
        return _chevrons_small(size, bar, direction)
    return _chevrons_big(size, bar, direction)


# ---------------------------------------------------------------- question

# '#' full pixel, '+' half-covered pixel (softens the curve)
QUESTION_PIXELS = {
    16: [
        "",
        "     +####+",
        "    ########",
        "   ###+  +###",
        "   ##      ##",
        "           ##",
        "          +##",
        "         ###+",
        "        ###",
        "       ##+",
        "       ##",
        "       ##",
        "",
        "       ##",
        "       ##",
    ],
    24: [
        "",
        "",
        "         +####+",
        "       +########+",
        "      ############",
        "      ####+  +####",
        "      ###      ###",
        "      +#+      ###",
        "               ###",
        "              +###",
        "             ####+",
        "            ####",
        "           ####",
        "          ####",
        "          ###+",
        "          ###",
        "          ###",
        "",
        "",
        "          ###",
        "          ###",
        "          ###",
    ],
}


def question(size):
    if size in QUESTION_PIXELS:
        rows = QUESTION_PIXELS[size]
        m = [0.0] * (size * size)
        top, bottom = size, 0
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch in "#+":
                    m[y * size + x] = 1.0 if ch == "#" else 0.5
                    top, bottom = min(top, y), max(bottom, y + 1)
        c = Canvas(size, size)
        c.paint(m, _grey(size, top, bottom))
        return c
    # 48 px: stroked curve plus dot
    sw, cx, cy, r = 7.0, 24.0, 15.5, 9.0
    pts = []
    for k in range(31):                      # over the top, left to right
        a = math.radians(165 - 200 * k / 30)
        pts.append((cx + r * math.cos(a), cy - r * math.sin(a)))
    ex, ey = pts[-1]
    sx, sy = cx, 28.0                        # top of the straight stem
    for k in range(1, 13):                   # curve in towards the stem
        u = k / 12.0
        # quadratic from the arc end, bending through (cx, ey + 4)
        bx, by = cx + 1.0, ey + 3.0
        x = (1 - u) ** 2 * ex + 2 * (1 - u) * u * bx + u * u * sx
        y = (1 - u) ** 2 * ey + 2 * (1 - u) * u * by + u * u * sy
        pts.append((x, y))
    pts.append((sx, 29.5))
    body = stroke(pts, sw)
    dot = ellipse(cx, 40.0, 4.0, 4.0, 32)
    rim = stroke(pts, sw + 2 * RIM) + ellipse(cx, 40.0, 4.0 + RIM,
                                              4.0 + RIM, 32)
    c = Canvas(size, size)
    c.paint(coverage(rim, size, size, ss=16), EDGE)
    c.paint(coverage(body + dot, size, size, ss=16), _grey(size, 5, 44))
    return c
