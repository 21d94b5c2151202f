#!/usr/bin/env python3
"""Makes the larger application icons from the 32 x 32 original, kelvor.png.

    python3 make-icons.py        (from this folder; Python's standard library only)

writes kelvor.svg, one rectangle per run of equal pixels in a row over the
commonest colour, so that it scales without blurring, and kelvor-64.png,
kelvor-128.png and kelvor-256.png, each pixel of the original repeated k x k
times. Run it again after editing kelvor.png; tests/tst_appicon.cpp fails
until the copies match the original.
"""

import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
SCALES = (2, 4, 8)


def chunks(data):
    pos = 8
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        yield data[pos + 4:pos + 8], data[pos + 8:pos + 8 + length]
        pos += 12 + length


def unfilter(raw, width, height, bpp):
    stride = width * bpp
    rows, prev, pos = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[pos], bytearray(raw[pos + 1:pos + 1 + stride])
        pos += 1 + stride
        for i in range(stride):
            left = line[i - bpp] if i >= bpp else 0
            up = prev[i]
            up_left = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                pred = left if pa <= pb and pa <= pc else up if pb <= pc else up_left
                line[i] = (line[i] + pred) & 0xFF
        rows.append(bytes(line))
        prev = line
    return rows


def read_png(path):
    """Rows of (r, g, b, a) pixels of an 8-bit, non-interlaced PNG."""
    data = path.read_bytes()
    idat, palette, alpha = b"", [], b""
    for kind, body in chunks(data):
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"tRNS":
            alpha = body
        elif kind == b"IDAT":
            idat += body
    if depth != 8 or interlace or colour not in (2, 3, 6):
        raise SystemExit(f"{path.name}: only 8-bit palette, RGB or RGBA PNGs without interlacing")
    bpp = {2: 3, 3: 1, 6: 4}[colour]
    rows = unfilter(zlib.decompress(idat), width, height, bpp)
    pixels = []
    for line in rows:
        if colour == 3:
            pixels.append([palette[i] + ((alpha[i] if i < len(alpha) else 255),) for i in line])
        elif colour == 2:
            pixels.append([tuple(line[i:i + 3]) + (255,) for i in range(0, len(line), 3)])
        else:
            pixels.append([tuple(line[i:i + 4]) for i in range(0, len(line), 4)])
    return pixels


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in pixels)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    path.write_bytes(b"\x89PNG\r\n\x1a\n"
                     + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                     + chunk(b"IDAT", zlib.compress(raw, 9))
                     + chunk(b"IEND", b""))


def rect(x, y, width, height, pixel):
    r, g, b, a = pixel
    opacity = "" if a == 255 else f' fill-opacity="{a / 255:.3f}"'
    return f'<rect x="{x}" y="{y}" width="{width}" height="{height}" fill="#{r:02x}{g:02x}{b:02x}"{opacity}/>'


def svg(pixels):
    height, width = len(pixels), len(pixels[0])
    lines = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
             f'viewBox="0 0 {width} {height}" shape-rendering="crispEdges">']
    # The commonest opaque colour fills the square first; the runs of any
    # other colour are drawn over it.
    opaque = [p for row in pixels for p in row if p[3] == 255]
    ground = max(set(opaque), key=opaque.count) if len(opaque) == width * height else None
    if ground:
        lines.append(rect(0, 0, width, height, ground))
    for y, row in enumerate(pixels):
        x = 0
        while x < width:
            end = x
            while end < width and row[end] == row[x]:
                end += 1
            if row[x][3] and row[x] != ground:
                lines.append(rect(x, y, end - x, 1, row[x]))
            x = end
    lines.append("</svg>")
    return "\n".join(lines) + "\n"


def main():
    pixels = read_png(HERE / "kelvor.png")
    (HERE / "kelvor.svg").write_text(svg(pixels))
    for k in SCALES:
        scaled = [[p for p in row for _ in range(k)] for row in pixels for _ in range(k)]
        write_png(HERE / f"kelvor-{len(scaled)}.png", scaled)


if __name__ == "__main__":
    main()
