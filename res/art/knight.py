"""The knight piece: outlines in a 200 x 278 design box (knight facing
left), and a renderer that shades it in a given colour scheme at any size.
"""

import math

from raster import (blur, coverage, ellipse, m_mul, m_sub, path,
                    ramp, rgb, stroke)

DESIGN_W, DESIGN_H = 200.0, 278.0

# -- outlines ---------------------------------------------------------------

# Head and neck, one closed outline.  Starts at the front of the chest and
# runs up the throat, round the muzzle, over the forehead and ear, then
# down the mane to the back of the neck.
HEAD = """
M 56 230
C 46 214 38 196 42 178
C 45 164 58 156 70 150
C 60 147 47 146 37 144
C 27 142 19 137 16 129
C 13 123 12 117 13 111
C 14 102 18 96 24 90
C 37 76 50 60 60 48
C 66 41 73 36 80 32
C 82 22 88 12 98 5
C 104 12 110 24 112 34
C 140 40 163 64 172 98
C 180 130 179 170 170 198
C 166 212 162 222 160 230
Z
"""

# The ear further away, peeking out behind the near one.
EAR_BACK = """
M 100 34 C 106 22 114 14 122 10 C 124 20 124 30 120 40 Z
"""

# Mane: the band along the back of the neck, its inner edge cut into locks.
MANE = """
M 104 30
C 136 34 162 58 172 96
C 180 130 179 170 170 198
C 167 210 163 218 158 226
C 152 222 144 218 138 214
C 140 202 148 190 154 184
C 148 182 140 178 134 176
C 136 164 144 152 152 146
C 146 144 138 140 132 138
C 134 126 142 114 150 110
C 144 108 136 106 130 104
C 130 94 138 84 146 78
C 138 76 130 74 126 72
C 124 64 128 56 136 52
C 130 52 122 51 118 50
C 114 42 110 36 104 30
Z
"""

# Forelock: a tuft falling over the brow in front of the ear.
FORELOCK = """
M 84 31 C 90 28 98 30 104 34 C 100 40 94 44 86 47 C 88 41 88 36 84 31 Z
"""

# Base: three tiers, drawn bottom tier first.
PLINTH = """
M 24 252 L 176 252 C 181 252 184 255 184 260 L 184 266
C 184 271 181 274 176 274 L 24 274 C 19 274 16 271 16 266 L 16 260
C 16 255 19 252 24 252 Z
"""
TORUS = """
M 40 236 L 160 236 C 172 236 178 241 178 246 C 178 251 172 256 160 256
L 40 256 C 28 256 22 251 22 246 C 22 241 28 236 40 236 Z
"""
COLLAR = """
M 52 222 L 148 222 C 156 222 160 226 160 230 C 160 234 156 238 148 238
L 52 238 C 44 238 40 234 40 230 C 40 226 44 222 52 222 Z
"""

# Carved detail lines (open polylines), with stroke widths.
CHEEK = "M 64 70 C 58 86 60 104 72 116 C 80 124 82 136 76 148"
MOUTH = "M 14 123 C 20 125 26 126 31 123"
INNER_EAR = "M 90 28 C 93 20 96 14 98 10"
BROW = "M 70 54 C 78 48 88 48 96 52"
NECK = ["M 88 168 C 100 178 104 196 102 214",
        "M 112 150 C 122 164 124 184 120 202"]
LOCKS = [
    "M 112 40 C 124 44 132 50 134 60",
    "M 128 48 C 144 56 150 70 146 86",
    "M 146 70 C 158 84 160 100 154 116",
    "M 156 96 C 166 112 166 132 158 148",
    "M 162 128 C 170 148 168 168 158 184",
    "M 164 162 C 170 182 166 200 156 214",
]


# -- colour schemes ---------------------------------------------------------

SCHEMES = {
    "green": {
        "ramp": [(0.00, rgb("0f3512")), (0.25, rgb("1f5e22")),
                 (0.50, rgb("2f8a33")), (0.72, rgb("55b04c")),
                 (0.90, rgb("9bdc82")), (1.00, rgb("e4fbd2"))],
        "mane": 0.78,
        "line": rgb("0c2a0f"),
        "glint": rgb("f4ffe8"),
        "eye": rgb("081a0a"),
    },
    "gold": {
        "ramp": [(0.00, rgb("6a4008")), (0.25, rgb("b07818")),
                 (0.50, rgb("d69c26")), (0.72, rgb("f0c854")),
                 (0.90, rgb("fbe79c")), (1.00, rgb("fffbe6"))],
        "mane": 0.80,
        "line": rgb("3e2404"),
        "glint": rgb("ffffff"),
        "eye": rgb("2a1602"),
    },
}

# Light comes from the upper left, in front of the piece.
_L = (-0.55, -0.62, 0.56)
_LN = math.sqrt(sum(v * v for v in _L))
LIGHT = tuple(v / _LN for v in _L)


def _poly(d, tf):
    sx, sy, ox, oy = tf
    return [[(ox + sx * x, oy + sy * y) for x, y in p] for p in path(d)]


def _line(d, tf):
    return _poly(d, tf)[0]


def _shade(w, h, mask, radii, flat_bias, gradient, scheme, flip=False):
    """Colour function for a part: its mask is blurred into a height field
    whose normals are lit by LIGHT; `gradient(x, y)` adds a broad
    light-to-dark sweep."""
    hs = [blur(mask, w, h, r) for r, _ in radii]
    weights = [k for _, k in radii]
    st = scheme["ramp"]
    lx = -LIGHT[0] if flip else LIGHT[0]

    def colour(x, y, i):
        nx = ny = 0.0
        x0 = i - 1 if x > 0 else i
        x1 = i + 1 if x < w - 1 else i
        y0 = i - w if y > 0 else i
        y1 = i + w if y < h - 1 else i
        for hf, k in zip(hs, weights):
            nx -= (hf[x1] - hf[x0]) * k
            ny -= (hf[y1] - hf[y0]) * k
        ln = math.sqrt(nx * nx + ny * ny + 1.0)
        d = (nx * lx + ny * LIGHT[1] + LIGHT[2]) / ln
        t = flat_bias + (d - LIGHT[2]) * 0.9 + gradient(x, y)
        t += max(0.0, d - 0.93) * 3.0      # glossy highlight
        return ramp(st, max(0.0, min(1.0, t)))

    return colour


def render_knight(canvas, height, left, top, scheme_name, mirror=False,
                  detail=None):
    """Draw the knight so the design box is `height` pixels tall with its
    top-left corner at (left, top).  `mirror` turns it to face right."""
    scheme = SCHEMES[scheme_name]
    w, h = canvas.w, canvas.h
    s = height / DESIGN_H
    if mirror:
        tf = (-s, s, left + DESIGN_W * s, top)
    else:
        tf = (s, s, left, top)
    if detail is None:
        detail = 2 if height >= 90 else (1 if height >= 40 else 0)

    def px(v):  # design units -> pixels
        return v * s

    def du(p):  # pixels -> design units
        return p / s

    line_w = max(2.6, du(1.0 if detail == 0 else 1.1))
    if height >= 200:
        line_w = 2.8

    def cov(d):
        return coverage(_poly(d, tf), w, h)

    def cov_stroke(d, width, closed=False, taper=False):
        pts = _line(d, tf)
        if taper:
            n = len(pts)
            ws = [px(width) * (0.25 + 0.75 * math.sin(math.pi * k / (n - 1)))
                  for k in range(n)]
        else:
            ws = px(width)
        return coverage(stroke(pts, ws, closed), w, h)

    def outline(d):
        polys = _poly(d, tf)
        out = []
        for p in polys:
            out += stroke(p, px(line_w), closed=True)
        return coverage(out, w, h)

    # Which side of the piece is lit: the front (left in design space).
    small = 0.10 if detail == 0 else 0.0

    def side_grad(x, y):
        u = (x - tf[2]) / (tf[0] * DESIGN_W)  # 0 at design left edge
        return -0.22 * u + 0.05 + small

    def base_grad(cx, half):
        def g(x, y):
            u = (x - (tf[2] + tf[0] * cx)) / (s * half)
            if mirror:
                u = -u
            return -0.35 * u - 0.10 * u * u + 0.02 + small
        return g

    def shade(*args):
        return _shade(*args, flip=mirror)

    line = scheme["line"]
    r_big = px(26)
    r_mid = px(9)
    r_small = max(0.6, px(3))

    # --- base tiers, bottom up
    for d, cx, half, bias in ((PLINTH, 100, 84, 0.44), (TORUS, 100, 78, 0.48),
                              (COLLAR, 100, 60, 0.46)):
        m = cov(d)
        col = shade(w, h, m, [(px(7), 40.0 * s), (r_small, 10.0 * s)],
                     bias, base_grad(cx, half), scheme)
        canvas.paint(m, col)
        canvas.paint(outline(d), line)

    # --- far ear
    m = cov(EAR_BACK)
    canvas.paint(m, shade(w, h, m, [(r_small, 8.0 * s)], 0.30,
                           lambda x, y: 0.0, scheme))
    canvas.paint(outline(EAR_BACK), line)

    # --- head and neck
    head = cov(HEAD)
    col = shade(w, h, head, [(r_big, 90.0 * s), (r_mid, 30.0 * s),
                              (r_small, 8.0 * s)],
                 0.52, side_grad, scheme)
    canvas.paint(head, col)

    if detail >= 1:
        # mane, darker and with carved locks
        mane = m_mul(cov(MANE), head)
        mb = scheme["mane"]
        mcol = shade(w, h, mane, [(r_mid, 30.0 * s), (r_small, 10.0 * s)],
                      0.52 - (1 - mb), side_grad, scheme)
        canvas.paint(mane, mcol)
        # the edge where the mane meets the neck
        edge = m_sub(cov_stroke(_edge_of_mane(), 2.2), m_sub([1.0] * (w * h),
                                                             head))
        canvas.paint(m_mul(edge, head), line, 0.8)

    if detail >= 2:
        for d in LOCKS:
            c = m_mul(cov_stroke(d, 2.6, taper=True), head)
            canvas.paint(c, line, 0.55)
            hl = _offset_line(d, -2.2, 0.8)
            c = m_mul(cov_stroke(hl, 1.6, taper=True), head)
            canvas.paint(c, scheme["glint"], 0.22)
        for d in NECK:
            c = m_mul(cov_stroke(d, 2.2, taper=True), head)
            canvas.paint(c, line, 0.35)
        # cheek: shadow line with a highlight on its lit side
        c = cov_stroke(CHEEK, 2.6, taper=True)
        canvas.paint(c, line, 0.55)
        c = cov_stroke(_offset_line(CHEEK, -2.6, 0.0), 2.0, taper=True)
        canvas.paint(c, scheme["glint"], 0.30)
        canvas.paint(cov_stroke(INNER_EAR, 2.4, taper=True), line, 0.5)
        canvas.paint(cov_stroke(BROW, 2.0, taper=True), line, 0.45)
        canvas.paint(cov_stroke(MOUTH, 2.6, taper=True), line, 0.85)

    # outline of the head
    canvas.paint(outline(HEAD), line)

    if detail >= 1:
        fl = cov(FORELOCK)
        canvas.paint(fl, shade(w, h, fl, [(r_small, 10.0 * s)], 0.42,
                                lambda x, y: 0.0, scheme))
        canvas.paint(outline(FORELOCK), line, 0.9)

    # --- eye and nostril
    if detail >= 1:
        eye = coverage(_xf(ellipse(78, 70, 9.5, 6.5, 40, -0.45), tf), w, h)
        canvas.paint(eye, scheme["eye"])
        lid = cov_stroke("M 66 70 C 70 60 82 58 90 62", 2.4, taper=True)
        canvas.paint(lid, line, 0.9)
        if detail >= 2:
            g = coverage(_xf(ellipse(75, 67.5, 2.6, 2.2, 16), tf), w, h)
            canvas.paint(g, scheme["glint"], 0.95)
        nos = coverage(_xf(ellipse(26, 108, 6.5, 4.2, 30, -0.9), tf), w, h)
        canvas.paint(nos, scheme["eye"], 0.9)
        if detail >= 2:
            rim = cov_stroke("M 20 116 C 22 104 30 98 36 102", 2.0,
                             taper=True)
            canvas.paint(rim, scheme["glint"], 0.35)
    else:
        # tiny sizes: one dark dot for the eye
        eye = coverage(_xf(ellipse(78, 70, 12, 9, 24, -0.45), tf), w, h)
        canvas.paint(eye, scheme["eye"], 0.9)


def _xf(polys, tf):
    sx, sy, ox, oy = tf
    return [[(ox + sx * x, oy + sy * y) for x, y in p] for p in polys]


def _edge_of_mane():
    # inner edge of the mane: MANE without its first three (outer) curves
    d = MANE.split("C")
    return "M 158 226 C" + "C".join(d[4:]).replace("Z", "")


def _offset_line(d, dx, dy):
    """Shift every coordinate of a path string."""
    toks = d.replace(",", " ").split()
    out = []
    k = 0
    for t in toks:
        if t.isalpha():
            out.append(t)
            continue
        v = float(t) + (dx if k % 2 == 0 else dy)
        out.append("%g" % v)
        k += 1
    return " ".join(out)
