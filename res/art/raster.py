"""A tiny vector rasteriser for the game's artwork.

Shapes are lists of closed polygons (lists of (x, y) points).  They are
turned into coverage masks (one float 0..1 per pixel) by a scanline filler
that samples several sub-rows per pixel and computes exact horizontal
coverage, which gives smooth anti-aliased edges.  Masks are then painted
onto a premultiplied RGBA float canvas with flat colours or per-pixel
colour functions.
"""

import math
import re


# ---------------------------------------------------------------- paths

_TOKEN = re.compile(r"[MLCQZ]|-?\d*\.?\d+(?:e-?\d+)?")


def _cubic(p0, p1, p2, p3, out):
    est = (math.dist(p0, p1) + math.dist(p1, p2) + math.dist(p2, p3))
    n = max(6, int(est / 1.2))
    for i in range(1, n + 1):
        t = i / n
        u = 1.0 - t
        a, b, c, d = u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))


def _quad(p0, p1, p2, out):
    est = math.dist(p0, p1) + math.dist(p1, p2)
    n = max(6, int(est / 1.2))
    for i in range(1, n + 1):
        t = i / n
        u = 1.0 - t
        a, b, c = u * u, 2 * u * t, t * t
        out.append((a * p0[0] + b * p1[0] + c * p2[0],
                    a * p0[1] + b * p1[1] + c * p2[1]))


def path(d):
    """Parse a small SVG-like path (absolute M, L, C, Q, Z only) into a
    list of polylines.  Open polylines are returned as they are; closed
    ones simply end where they started."""
    toks = _TOKEN.findall(d)
    i = 0
    polys = []
    cur = None
    cmd = None

    def num():
        nonlocal i
        v = float(toks[i])
        i += 1
        return v

    while i < len(toks):
        t = toks[i]
        if t in "MLCQZ":
            cmd = t
            i += 1
            if cmd == "Z":
                if cur:
                    polys.append(cur)
                cur = None
                continue
        if cmd == "M":
            if cur:
                polys.append(cur)
            cur = [(num(), num())]
            cmd = "L"
        elif cmd == "L":
            cur.append((num(), num()))
        elif cmd == "C":
            p1 = (num(), num())
            p2 = (num(), num())
            p3 = (num(), num())
            _cubic(cur[-1], p1, p2, p3, cur)
        elif cmd == "Q":
            p1 = (num(), num())
            p2 = (num(), num())
            _quad(cur[-1], p1, p2, cur)
    if cur:
        polys.append(cur)
    return polys


def ellipse(cx, cy, rx, ry, n=None, rot=0.0):
    if n is None:
        n = max(12, int((rx + ry) * 1.5))
    c, s = math.cos(rot), math.sin(rot)
    pts = []
    for k in range(n):
        a = 2 * math.pi * k / n
        x, y = rx * math.cos(a), ry * math.sin(a)
        pts.append((cx + x * c - y * s, cy + x * s + y * c))
    return [pts]


def rect(x0, y0, x1, y1):
    return [[(x0, y0), (x1, y0), (x1, y1), (x0, y1)]]


def _area(pts):
    s = 0.0
    n = len(pts)
    for k in range(n):
        x0, y0 = pts[k]
        x1, y1 = pts[(k + 1) % n]
        s += x0 * y1 - x1 * y0
    return s * 0.5


def _oriented(pts):
    return pts if _area(pts) >= 0 else pts[::-1]


def stroke(line, width, closed=False, caps=True):
    """Outline of a polyline as a set of same-orientation polygons (fill
    with the non-zero rule).  `width` is a number or a list with one width
    per point, which makes tapered strokes."""
    n = len(line)
    ws = width if isinstance(width, (list, tuple)) else [width] * n
    polys = []
    segs = list(range(n if closed else n - 1))
    for k in segs:
        x0, y0 = line[k]
        x1, y1 = line[(k + 1) % n]
        dx, dy = x1 - x0, y1 - y0
        ln = math.hypot(dx, dy)
        if ln < 1e-9:
            continue
        nx, ny = -dy / ln, dx / ln
        h0, h1 = ws[k] / 2, ws[(k + 1) % n] / 2
        quad = [(x0 + nx * h0, y0 + ny * h0), (x1 + nx * h1, y1 + ny * h1),
                (x1 - nx * h1, y1 - ny * h1), (x0 - nx * h0, y0 - ny * h0)]
        polys.append(_oriented(quad))
    for k in range(n):
        if not closed and not caps and k in (0, n - 1):
            continue
        r = ws[k] / 2
        if r <= 0.05:
            continue
        m = max(8, min(28, int(r * 6)))
        polys.append(_oriented(ellipse(line[k][0], line[k][1], r, r, m)[0]))
    return polys


# ---------------------------------------------------------------- masks

def coverage(polys, w, h, ss=8, evenodd=False):
    """Anti-aliased coverage of polygons on a w*h pixel grid.  Pixel (i, j)
    spans [i, i+1) x [j, j+1)."""
    edges = []
    for pts in polys:
        n = len(pts)
        for k in range(n):
            x0, y0 = pts[k]
            x1, y1 = pts[(k + 1) % n]
            if y0 == y1:
                continue
            d = 1
            if y0 > y1:
                x0, y0, x1, y1 = x1, y1, x0, y0
                d = -1
            k0 = max(0, math.ceil(y0 * ss - 0.5))
            k1 = min(h * ss, math.ceil(y1 * ss - 0.5))
            if k0 >= k1:
                continue
            edges.append((k0, k1, x0, y0, (x1 - x0) / (y1 - y0), d))
    edges.sort()
    cov = [0.0] * (w * h)
    active = []
    ei = 0
    ne = len(edges)
    wgt = 1.0 / ss
    for row in range(h):
        if ei >= ne and not active:
            break
        dif = None
        for sub in range(ss):
            k = row * ss + sub
            while ei < ne and edges[ei][0] <= k:
                active.append(edges[ei])
                ei += 1
            if not active:
                continue
            active = [e for e in active if e[1] > k]
            if not active:
                continue
            if dif is None:
                dif = [0.0] * (w + 1)
                part = [0.0] * (w + 1)
            yc = (k + 0.5) / ss
            xs = sorted((e[2] + (yc - e[3]) * e[4], e[5]) for e in active)
            wind = 0
            start = 0.0
            for x, d in xs:
                if evenodd:
                    was = wind & 1
                    wind += 1
                    now = wind & 1
                else:
                    was = wind != 0
                    wind += d
                    now = wind != 0
                if not was and now:
                    start = x
                elif was and not now:
                    a = start if start > 0.0 else 0.0
                    b = x if x < w else float(w)
                    if b <= a:
                        continue
                    ia = int(a)
                    ib = int(b)
                    if ia == ib:
                        part[ia] += (b - a) * wgt
                    else:
                        part[ia] += (ia + 1 - a) * wgt
                        dif[ia + 1] += wgt
                        dif[ib] -= wgt
                        part[ib] += (b - ib) * wgt
        if dif is None:
            continue
        run = 0.0
        base = row * w
        for i in range(w):
            run += dif[i]
            c = run + part[i]
            if c > 0.0:
                cov[base + i] = c if c < 1.0 else 1.0
    return cov


def m_mul(a, b):
    return [x * y for x, y in zip(a, b)]


def m_sub(a, b):
    return [x * (1.0 - y) for x, y in zip(a, b)]


def blur(src, w, h, r, passes=3):
    """Approximate gaussian blur: repeated separable box blurs, radius r
    (may be fractional; the edge taps get partial weight)."""
    if r <= 0:
        return list(src)
    ri = int(r)
    fr = r - ri
    norm = 1.0 / (2 * r + 1)
    img = list(src)
    for _ in range(passes):
        for horizontal in (True, False):
            out = [0.0] * (w * h)
            if horizontal:
                n, m, step, lstep = w, h, 1, w
            else:
                n, m, step, lstep = h, w, w, 1
            for line in range(m):
                base = line * lstep
                vals = [img[base + i * step] for i in range(n)]
                # clamp-to-edge prefix sums
                pre = [0.0]
                s = 0.0
                for v in vals:
                    s += v
                    pre.append(s)

                def S(lo, hi):  # sum vals[lo:hi] with clamping
                    tot = 0.0
                    if lo < 0:
                        tot += vals[0] * (min(hi, 0) - lo)
                        lo = 0
                    if hi > n:
                        tot += vals[-1] * (hi - max(lo, n))
                        hi = n
                    if hi > lo:
                        tot += pre[hi] - pre[lo]
                    return tot

                for i in range(n):
                    t = S(i - ri, i + ri + 1)
                    if fr:
                        lo = i - ri - 1
                        hi = i + ri + 1
                        t += fr * (vals[min(max(lo, 0), n - 1)] +
                                   vals[min(max(hi, 0), n - 1)])
                    out[base + i * step] = t * norm
            img = out
    return img


# ---------------------------------------------------------------- canvas

class Canvas:
    """Premultiplied RGBA image with float channels 0..1."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        n = w * h
        self.r = [0.0] * n
        self.g = [0.0] * n
        self.b = [0.0] * n
        self.a = [0.0] * n

    def paint(self, cov, colour, opacity=1.0):
        """Composite `colour` (an (r, g, b) tuple of 0..1 floats or a
        function (x, y, i) -> (r, g, b)) through mask `cov`."""
        R, G, B, A = self.r, self.g, self.b, self.a
        w = self.w
        fn = callable(colour)
        if not fn:
            cr, cg, cb = colour
        for i, c in enumerate(cov):
            if c <= 0.0:
                continue
            k = c * opacity
            if fn:
                cr, cg, cb = colour(i % w, i // w, i)
            j = 1.0 - k
            R[i] = cr * k + R[i] * j
            G[i] = cg * k + G[i] * j
            B[i] = cb * k + B[i] * j
            A[i] = k + A[i] * j

    def rgba8(self):
        """Straight (non-premultiplied) RGBA rows of byte tuples."""
        out = []
        for i in range(self.w * self.h):
            a = self.a[i]
            if a <= 1.0 / 512:
                out.append((0, 0, 0, 0))
                continue
            inv = 1.0 / a
            out.append((_b(self.r[i] * inv), _b(self.g[i] * inv),
                        _b(self.b[i] * inv), _b(a)))
        return out


def _b(v):
    v = int(v * 255.0 + 0.5)
    return 0 if v < 0 else (255 if v > 255 else v)


def lerp(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def ramp(stops, t):
    """Colour at t along a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return lerp(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def rgb(hexstr):
    hexstr = hexstr.lstrip("#")
    return tuple(int(hexstr[k:k + 2], 16) / 255.0 for k in (0, 2, 4))
