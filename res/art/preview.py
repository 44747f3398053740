"""Contact sheets for eyeballing the artwork (written outside the repo).

    python3 res/art/preview.py /tmp/art-preview
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True

from imgfmt import png_rgba  # noqa: E402


class Sheet:
    def __init__(self, w, h, bg=(236, 236, 236)):
        self.w, self.h = w, h
        self.px = [bg] * (w * h)

    def checker(self, x0, y0, w, h, cell, c0, c1):
        for y in range(h):
            for x in range(w):
                c = c0 if ((x // cell) + (y // cell)) % 2 == 0 else c1
                self.put(x0 + x, y0 + y, c)

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def blit(self, x0, y0, w, h, rgba, scale=1):
        for y in range(h * scale):
            for x in range(w * scale):
                r, g, b, a = rgba[(y // scale) * w + x // scale]
                if a == 0:
                    continue
                tx, ty = x0 + x, y0 + y
                if not (0 <= tx < self.w and 0 <= ty < self.h):
                    continue
                br, bg_, bb = self.px[ty * self.w + tx]
                k = a / 255.0
                self.px[ty * self.w + tx] = (
                    int(r * k + br * (1 - k) + 0.5),
                    int(g * k + bg_ * (1 - k) + 0.5),
                    int(b * k + bb * (1 - k) + 0.5))

    def save(self, fn):
        with open(fn, "wb") as f:
            f.write(png_rgba(self.w, self.h,
                             [(r, g, b, 255) for r, g, b in self.px]))


def main(outdir):
    import make_art
    os.makedirs(outdir, exist_ok=True)
    art = make_art.build()

    # knight on light and dark wood squares, and on a checker
    kw, kh, kpx = art["knight_px"]
    wl = art["wood_light_rgb"]
    wd = art["wood_dark_rgb"]
    sh = Sheet(3 * 280 + 40, 300)
    for k, tex in enumerate((wl, wd)):
        x0 = 10 + k * 290
        for y in range(280):
            for x in range(280):
                sh.put(x0 + x, 10 + y, tex[(y * 60 // 280) * 60 + x * 60 // 280])
        sh.blit(x0 + 40, 11, kw, kh, kpx)
    sh.checker(590, 10, 280, 280, 20, (200, 200, 200), (120, 120, 120))
    sh.blit(630, 11, kw, kh, kpx)
    sh.save(os.path.join(outdir, "knight.png"))

    # textures tiled 4x4, plus a small board
    sh = Sheet(2 * 240 + 30 + 480 + 10, 490)
    for k, tex in enumerate((wl, wd)):
        x0 = 10 + k * 250
        for y in range(240):
            for x in range(240):
                sh.put(x0 + x, 10 + y, tex[(y % 60) * 60 + x % 60])
    for by in range(8):
        for bx in range(8):
            tex = wl if (bx + by) % 2 == 0 else wd
            for y in range(60):
                for x in range(60):
                    sh.put(510 + bx * 60 + x, 10 + by * 60 + y,
                           tex[y * 60 + x])
    sh.save(os.path.join(outdir, "textures.png"))

    buttons_sheet(art, os.path.join(outdir, "buttons.png"))

    # icons and cursors, enlarged
    for name, images in art["icon_sets"].items():
        tot_w = sum(max(w * _sc(w), 40) + 20 for w, h, p in images) + 20
        mh = max(h * _sc(h) for w, h, p in images) + 40
        sh = Sheet(tot_w, mh)
        x = 10
        for w, h, p in images:
            sc = _sc(w)
            sh.checker(x, 10, w * sc, h * sc, max(4, sc * 2),
                       (255, 255, 255), (205, 205, 205))
            sh.blit(x, 10, w, h, p, sc)
            x += max(w * sc, 40) + 20
        sh.save(os.path.join(outdir, "icon_%s.png" % name))
        # actual size on a button-grey background
        sh = Sheet(sum(w + 10 for w, h, p in images) + 10,
                   max(h for w, h, p in images) + 20, (240, 240, 240))
        x = 10
        for w, h, p in images:
            sh.blit(x, 10, w, h, p)
            x += w + 10
        sh.save(os.path.join(outdir, "icon_%s_1x.png" % name))


def buttons_sheet(art, fn):
    names = ["first", "back", "forward", "last", "advice"]
    rows = [art["icon_sets"][n] for n in names]
    sh = Sheet(10 + 4 * 202 + 200, 10 + len(rows) * 202, (240, 240, 240))
    for r, images in enumerate(rows):
        y0 = 10 + r * 202
        x = 10
        for w, h, p in images:
            sc = 192 // w
            sh.checker(x, y0, w * sc, h * sc, sc * 2, (255, 255, 255),
                       (215, 215, 215))
            sh.blit(x, y0, w, h, p, sc)
            x += 202
        # actual size on a push button face
        bx = x
        for w, h, p in images[:3]:
            for yy in range(w + 6):
                for xx in range(w + 6):
                    edge = xx in (0, w + 5) or yy in (0, w + 5)
                    sh.put(bx + xx, y0 + yy, (120, 120, 120) if edge
                           else (225, 225, 225))
            sh.blit(bx + 3, y0 + 3, w, h, p)
            bx += w + 14
    sh.save(fn)


def _sc(w):
    return 2 if w >= 100 else (4 if w >= 40 else 8)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "/tmp/art-preview")
