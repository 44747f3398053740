"""Writers for the file formats the game's resources use: PNG (RGBA),
16-bit BMP, and ICO/CUR containers holding 32-bit or 8-bit DIBs (or a PNG
for the 256 px icon).  Pixels come in as lists of (r, g, b, a) byte tuples,
row-major, top row first."""

import struct
import zlib


# ---------------------------------------------------------------- PNG

def _chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(
        ">I", zlib.crc32(body) & 0xFFFFFFFF)


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def png_rgba(w, h, px):
    """8-bit RGBA, non-interlaced, colour type 6.  Each row gets the
    filter with the smallest sum of absolute differences."""
    raw = bytearray()
    prev = bytes(w * 4)
    bpp = 4
    for y in range(h):
        row = bytes(v for p in px[y * w:(y + 1) * w] for v in p)
        best = None
        for ft in range(5):
            f = bytearray(len(row))
            for i, x in enumerate(row):
                a = row[i - bpp] if i >= bpp else 0
                b = prev[i]
                c = prev[i - bpp] if i >= bpp else 0
                if ft == 0:
                    p = 0
                elif ft == 1:
                    p = a
                elif ft == 2:
                    p = b
                elif ft == 3:
                    p = (a + b) >> 1
                else:
                    p = _paeth(a, b, c)
                f[i] = (x - p) & 0xFF
            score = sum(v if v < 128 else 256 - v for v in f)
            if best is None or score < best[0]:
                best = (score, ft, f)
        raw.append(best[1])
        raw += best[2]
        prev = row
    ihdr = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", ihdr) +
            _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            _chunk(b"IEND", b""))


# ---------------------------------------------------------------- BMP

def bmp16(w, h, rgb555):
    """BITMAPFILEHEADER + BITMAPINFOHEADER, 16 bpp BI_RGB (x1-r5-g5-b5),
    bottom-up.  `rgb555` is a list of (r5, g5, b5) 0..31 tuples, top row
    first."""
    stride = (w * 2 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b in rgb555[y * w:(y + 1) * w]:
            row += struct.pack("<H", (r << 10) | (g << 5) | b)
        row += bytes(stride - len(row))
        data += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 16, 0, len(data),
                       2835, 2835, 0, 0)
    off = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", off + len(data), 0, 0, off)
    return head + info + bytes(data)


# ---------------------------------------------------------------- DIBs

def _and_mask(w, h, px, cut):
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[y * w + x][3] < cut:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return out


def dib32(w, h, px):
    """BITMAPINFOHEADER (height doubled), BGRA bottom-up, then AND mask
    (bit set where the pixel is fully transparent)."""
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for r, g, b, a in px[y * w:(y + 1) * w]:
            xor += bytes((b, g, r, a))
    mask = _and_mask(w, h, px, 1)
    head = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return head + bytes(xor) + bytes(mask)


def dib8(w, h, indices, palette, opaque):
    """8 bpp DIB with a 256-entry palette.  `indices` are palette indices
    (top row first), `opaque` a list of booleans; transparent pixels must
    use a black palette entry so the XOR step leaves the screen alone."""
    stride = (w + 3) & ~3
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(indices[y * w:(y + 1) * w])
        row += bytes(stride - len(row))
        xor += row
    pseudo = [(0, 0, 0, 255 if o else 0) for o in opaque]
    mask = _and_mask(w, h, pseudo, 128)
    pal = bytearray()
    for k in range(256):
        r, g, b = palette[k] if k < len(palette) else (0, 0, 0)
        pal += bytes((b, g, r, 0))
    head = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 8, 0,
                       len(xor) + len(mask), 0, 0, 256, 0)
    return head + bytes(pal) + bytes(xor) + bytes(mask)


def quantise(px, cut=128, max_colours=255):
    """Median-cut palette for an image with 1-bit transparency.  Index 0 is
    black and is used for transparent pixels; returns (palette, indices,
    opaque)."""
    opaque = [p[3] >= cut for p in px]
    cols = sorted({p[:3] for p, o in zip(px, opaque) if o})
    if len(cols) <= max_colours:
        pal = cols
    else:
        # weight by pixel count
        count = {}
        for p, o in zip(px, opaque):
            if o:
                count[p[:3]] = count.get(p[:3], 0) + 1
        boxes = [cols]
        while len(boxes) < max_colours:
            best = None
            for bi, box in enumerate(boxes):
                if len(box) < 2:
                    continue
                rng = [max(c[ch] for c in box) - min(c[ch] for c in box)
                       for ch in range(3)]
                ch = rng.index(max(rng))
                score = rng[ch] * sum(count[c] for c in box) ** 0.5
                if best is None or score > best[0]:
                    best = (score, bi, ch)
            if best is None:
                break
            _, bi, ch = best
            box = sorted(boxes[bi], key=lambda c: (c[ch], c))
            half = len(box) // 2
            boxes[bi:bi + 1] = [box[:half], box[half:]]
        pal = []
        for box in boxes:
            n = sum(count[c] for c in box)
            pal.append(tuple(int(sum(c[ch] * count[c] for c in box) / n + 0.5)
                             for ch in range(3)))
    palette = [(0, 0, 0)] + pal
    cache = {}
    idx = []
    for p, o in zip(px, opaque):
        if not o:
            idx.append(0)
            continue
        c = p[:3]
        if c not in cache:
            best = min(range(1, len(palette)),
                       key=lambda k: (sum((palette[k][ch] - c[ch]) ** 2
                                          for ch in range(3)), k))
            cache[c] = best
        idx.append(cache[c])
    return palette, idx, opaque


# ---------------------------------------------------------------- ICO/CUR

def icon_file(images, cursor=False):
    """images: list of dicts with keys w, h, data (DIB or PNG bytes), bpp,
    and for cursors hot=(x, y)."""
    n = len(images)
    out = bytearray(struct.pack("<HHH", 0, 2 if cursor else 1, n))
    offset = 6 + 16 * n
    blobs = []
    for im in images:
        w, h = im["w"], im["h"]
        colours = 0
        if cursor:
            f1, f2 = im["hot"]
        else:
            f1, f2 = 1, im["bpp"]
        out += struct.pack("<BBBBHHII", w & 0xFF, h & 0xFF, colours, 0,
                           f1, f2, len(im["data"]), offset)
        offset += len(im["data"])
        blobs.append(im["data"])
    for b in blobs:
        out += b
    return bytes(out)
