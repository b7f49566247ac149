#!/usr/bin/env python3
"""Draws Varnock's icon and writes it as a Windows icon file.

The picture: two round stations, fldigi (blue) and Kebrin (orange), joined by a green link.
The file holds 16, 24, 32 and 48 pixel images in 16 colours, 256 colours and 32-bit colour,
and a 256 pixel image (PNG-compressed, as Windows expects for that size).

Usage: make_icon.py OUTPUT.ico   (needs only the Python standard library)
"""
import struct
import sys
import zlib

BLUE = (40, 90, 200)
ORANGE = (235, 130, 30)
GREEN = (30, 170, 60)
OUTLINE = (20, 20, 40)


def shape_colour(u, v):
    """Colour (r, g, b) at unit coordinates u, v in [0, 1), or None outside the picture."""
    circles = ((0.23, 0.5, 0.21, BLUE), (0.77, 0.5, 0.21, ORANGE))
    for cx, cy, r, colour in circles:
        d2 = (u - cx) ** 2 + (v - cy) ** 2
        if d2 <= r * r:
            if d2 >= (r - 0.045) ** 2:
                return OUTLINE
            # a light spot at the upper left gives each station some depth
            spot = max(0.0, 1.0 - ((u - cx + r * 0.35) ** 2 + (v - cy + r * 0.35) ** 2) / (r * r))
            return tuple(min(255, int(c + (255 - c) * 0.4 * spot)) for c in colour)
    if 0.4 <= u <= 0.6 and abs(v - 0.5) <= 0.08:
        return GREEN
    return None


def render(size, samples=4):
    """RGBA rows of the picture at size x size, with supersampled edges."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    u = (x + (sx + 0.5) / samples) / size
                    v = (y + (sy + 0.5) / samples) / size
                    colour = shape_colour(u, v)
                    if colour is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                alpha = 255 * hits // (samples * samples)
                row.append(tuple(a // hits for a in acc) + (alpha,))
        rows.append(row)
    return rows


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette256():
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    greys = [(i * 255 // 39,) * 3 for i in range(40)]
    return cube + greys  # 216 + 40 = 256


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - colour[k]) ** 2 for k in range(3)))


def padded(row_bytes):
    return row_bytes + b"\0" * ((4 - len(row_bytes) % 4) % 4)


def and_mask(rows, size):
    out = b""
    for row in reversed(rows):
        bits = bytearray((size + 7) // 8)
        for x, px in enumerate(row):
            if px[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += padded(bytes(bits))
    return out


def dib(rows, size, bpp):
    """Icon image in DIB form: header, palette, colour bits (bottom-up), AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    if bpp == 32:
        bits = b"".join(padded(b"".join(bytes((p[2], p[1], p[0], p[3])) for p in row))
                        for row in reversed(rows))
        return header + bits + and_mask(rows, size)
    palette = VGA16 if bpp == 4 else palette256()
    pal = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    cache = {}
    bits = b""
    for row in reversed(rows):
        idx = []
        for p in row:
            key = p[:3] if p[3] >= 128 else None
            if key not in cache:
                cache[key] = 0 if key is None else nearest(palette, key)
            idx.append(cache[key])
        if bpp == 4:
            if len(idx) % 2:
                idx.append(0)
            raw = bytes((idx[i] << 4) | idx[i + 1] for i in range(0, len(idx), 2))
        else:
            raw = bytes(idx)
        bits += padded(raw)
    return header + pal + bits + and_mask(rows, size)


def png(rows, size):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + b"".join(bytes(p) for p in row) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main(path):
    images = []  # (size, colour count byte, bpp, data)
    for bpp in (4, 8, 32):
        for size in (16, 24, 32, 48):
            images.append((size, 16 if bpp == 4 else 0, bpp, dib(render(size), size, bpp)))
    images.append((256, 0, 32, png(render(256, samples=2), 256)))
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, colours, bpp, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0, 1, bpp, len(data),
                           offset)
        offset += len(data)
    out += b"".join(data for _, _, _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1])
