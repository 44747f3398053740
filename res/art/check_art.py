#!/usr/bin/env python3
"""Checks that the generated artwork under res/ has the formats the game's
resource script and loaders expect.

    python3 res/art/check_art.py [RES_DIR]

Exits with status 0 when every file passes, 1 otherwise.
"""

import os
import struct
import sys
import zlib

PNG_SIG = b"\x89PNG\r\n\x1a\n"


class Bad(Exception):
    pass


def need(cond, msg):
    if not cond:
        raise Bad(msg)


# ---------------------------------------------------------------- PNG

def read_png(data):
    """Decode an 8-bit RGBA non-interlaced PNG; returns (w, h, pixels)."""
    need(data[:8] == PNG_SIG, "not a PNG")
    pos = 8
    idat = b""
    ihdr = None
    while pos < len(data):
        ln, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + ln]
        crc, = struct.unpack(">I", data[pos + 8 + ln:pos + 12 + ln])
        need(zlib.crc32(kind + body) & 0xFFFFFFFF == crc, "bad CRC")
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + ln
    need(ihdr is not None, "no IHDR")
    w, h, depth, ctype, comp, filt, inter = ihdr
    need(depth == 8, "PNG bit depth %d, want 8" % depth)
    need(ctype == 6, "PNG colour type %d, want 6 (RGBA)" % ctype)
    need(inter == 0, "PNG is interlaced")
    raw = zlib.decompress(idat)
    stride = w * 4
    need(len(raw) == h * (stride + 1), "PNG data size")
    prev = bytearray(stride)
    px = []
    for y in range(h):
        ft = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if ft == 1:
                line[i] = (line[i] + a) & 255
            elif ft == 2:
                line[i] = (line[i] + b) & 255
            elif ft == 3:
                line[i] = (line[i] + ((a + b) >> 1)) & 255
            elif ft == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pr = a if (pa <= pb and pa <= pc) else (b if pb <= pc else c)
                line[i] = (line[i] + pr) & 255
            else:
                need(ft == 0, "bad PNG filter %d" % ft)
        px += [tuple(line[i:i + 4]) for i in range(0, stride, 4)]
        prev = line
    return w, h, px


def check_knight_png(path):
    w, h, px = read_png(open(path, "rb").read())
    need((w, h) == (200, 278), "knight.png is %dx%d, want 200x278" % (w, h))
    alphas = [p[3] for p in px]
    need(all(px[i][3] == 0 for i in (0, w - 1, (h - 1) * w, h * w - 1)),
         "knight.png corners must be transparent")
    need(any(0 < a < 255 for a in alphas), "no anti-aliased edge pixels")
    need(sum(1 for a in alphas if a == 255) > w * h // 4,
         "figure covers too little")
    rows = [y for y in range(h) if any(px[y * w + x][3] for x in range(w))]
    need(rows[-1] - rows[0] + 1 >= 0.85 * h, "figure must fill the height")
    solid = [p for p in px if p[3] == 255]
    r = sum(p[0] for p in solid) / len(solid)
    g = sum(p[1] for p in solid) / len(solid)
    b = sum(p[2] for p in solid) / len(solid)
    need(g > r and g > b, "knight.png should be green")


# ---------------------------------------------------------------- BMP

def check_bmp(path, light):
    data = open(path, "rb").read()
    need(data[:2] == b"BM", "not a BMP")
    fsize, _, _, off = struct.unpack("<IHHI", data[2:14])
    need(fsize == len(data), "BMP file size field")
    (bi_size, w, h, planes, bpp, comp, img_size, _, _, clr_used,
     _) = struct.unpack("<IiiHHIIiiII", data[14:54])
    need(bi_size == 40, "want BITMAPINFOHEADER")
    need((w, h) == (60, 60), "BMP is %dx%d, want 60x60 bottom-up" % (w, h))
    need(planes == 1 and bpp == 16, "BMP must be 16 bpp")
    need(comp == 0, "BMP must be BI_RGB (5-5-5)")
    need(off == 54 and len(data) == 54 + 60 * 120, "BMP pixel data size")
    vals = struct.unpack("<3600H", data[54:54 + 7200])
    need(all(v < 0x8000 for v in vals), "5-5-5 top bit must be clear")
    rgb = [((v >> 10) & 31, (v >> 5) & 31, v & 31) for v in vals]
    n = len(rgb)
    r = sum(c[0] for c in rgb) / n
    g = sum(c[1] for c in rgb) / n
    b = sum(c[2] for c in rgb) / n
    need(len(set(vals)) > 20, "texture has too few colours")
    lum = (r + g + b) / 3
    if light:
        need(lum > 20 and r >= g >= b, "square_white should be light wood")
    else:
        need(lum < 12 and r > g >= b, "square_black should be dark red-brown")
    return lum


# ---------------------------------------------------------------- ICO/CUR

def read_icondir(path, want_type):
    data = open(path, "rb").read()
    res, typ, n = struct.unpack("<HHH", data[:6])
    need(res == 0 and typ == want_type, "%s: type %d, want %d"
         % (os.path.basename(path), typ, want_type))
    out = []
    for k in range(n):
        w, h, cc, r0, f1, f2, size, off = struct.unpack(
            "<BBBBHHII", data[6 + 16 * k:22 + 16 * k])
        need(off + size <= len(data), "image %d runs past end of file" % k)
        out.append(dict(w=w or 256, h=h or 256, f1=f1, f2=f2,
                        data=data[off:off + size]))
    return out


def check_dib(im, size, bpp):
    d = im["data"]
    need(d[:8] != PNG_SIG, "%dpx image must be a DIB, not PNG" % size)
    (bi_size, w, h2, planes, bits, comp, _, _, _, clr_used,
     _) = struct.unpack("<IiiHHIIiiII", d[:40])
    need(bi_size == 40, "DIB header size %d" % bi_size)
    need(w == size and h2 == 2 * size,
         "DIB %dx%d, want %dx%d (height doubled)" % (w, h2, size, 2 * size))
    need(planes == 1 and bits == bpp, "DIB is %d bpp, want %d" % (bits, bpp))
    need(comp == 0, "DIB must be uncompressed")
    need((im["w"], im["h"]) == (size, size), "directory entry size")
    pal = 0
    if bpp == 8:
        pal = 4 * (clr_used or 256)
        need(clr_used in (0, 256), "want a 256-entry palette")
    xor_stride = ((size * bpp + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    need(len(d) == 40 + pal + size * (xor_stride + and_stride),
         "DIB data size (XOR + AND mask)")
    xor = d[40 + pal:40 + pal + size * xor_stride]
    amask = d[40 + pal + size * xor_stride:]
    transparent = sum(bin(b).count("1") for b in amask)
    need(0 < transparent < size * size, "AND mask must mark some "
         "transparent and some opaque pixels")
    if bpp == 32:
        alphas = xor[3::4]
        need(any(a == 255 for a in alphas) and any(a == 0 for a in alphas),
             "32-bit image needs an alpha channel")


def check_png_entry(im, size):
    need(im["data"][:8] == PNG_SIG, "%dpx entry should be PNG" % size)
    w, h, px = read_png(im["data"])
    need((w, h) == (size, size), "embedded PNG size")
    need((im["w"], im["h"]) == (size, size), "directory entry size")


def check_cursor(path):
    ims = read_icondir(path, 2)
    want = [(128, 32, (0, 0)), (48, 32, (0, 0)), (32, 32, (0, 0)),
            (24, 32, (0, 0)), (16, 32, (0, 0)), (32, 8, (24, 12)),
            (16, 8, (12, 6))]
    need(len(ims) == len(want), "knight.cur has %d images, want 7" % len(ims))
    for im, (size, bpp, hot) in zip(ims, want):
        check_dib(im, size, bpp)
        need((im["f1"], im["f2"]) == hot, "%dpx/%dbpp hot spot %s, want %s"
             % (size, bpp, (im["f1"], im["f2"]), hot))


def check_icon(path, want):
    ims = read_icondir(path, 1)
    need(len(ims) == len(want), "%s has %d images, want %d"
         % (os.path.basename(path), len(ims), len(want)))
    for im, (size, kind) in zip(ims, want):
        if kind == "png":
            check_png_entry(im, size)
            need(im["f2"] == 32, "PNG entry bit count")
        else:
            check_dib(im, size, kind)
            need(im["f1"] == 1 and im["f2"] == kind,
                 "directory entry planes/bit count")


def main(res):
    buttons = [(48, 32), (24, 32), (16, 32)]
    checks = [
        ("knight.png", lambda p: check_knight_png(p)),
        ("square_white.bmp", lambda p: check_bmp(p, True)),
        ("square_black.bmp", lambda p: check_bmp(p, False)),
        ("knight.cur", check_cursor),
        ("icons/app.ico", lambda p: check_icon(
            p, [(256, "png"), (48, 32), (32, 32), (24, 32), (16, 32),
                (32, 8)])),
        ("icons/first.ico", lambda p: check_icon(p, buttons)),
        ("icons/last.ico", lambda p: check_icon(p, buttons)),
        ("icons/back.ico", lambda p: check_icon(p, buttons + [(48, 8)])),
        ("icons/forward.ico", lambda p: check_icon(p, buttons)),
        ("icons/advice.ico", lambda p: check_icon(p, buttons)),
    ]
    failed = 0
    for rel, fn in checks:
        path = os.path.join(res, rel)
        try:
            need(os.path.isfile(path), "missing")
            fn(path)
            print("ok    %s" % rel)
        except (Bad, struct.error, zlib.error) as e:
            failed += 1
            print("FAIL  %s: %s" % (rel, e))
    return 1 if failed else 0


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    res_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..")
    sys.exit(main(os.path.normpath(res_dir)))
