#!/usr/bin/env python3
"""Writes the program's icons and bitmaps (.ico, .bmp) and art.rc, which names them.

Everything is drawn from geometry with the standard library only, so the artwork is
reproducible byte for byte. Usage: make_art.py OUTPUT_DIR
"""
import math
import os
import struct
import sys

# Palette shared by all pictures (R, G, B).
NAVY = (22, 48, 84)
TEAL = (0, 128, 128)
TEAL_LIGHT = (96, 196, 188)
PAPER = (248, 250, 252)
MIST = (226, 236, 242)
SKY = (200, 222, 236)
WHITE = (255, 255, 255)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def supersample(shade, x, y, n=4):
    """Average RGBA of shade() over an n x n grid inside pixel (x, y)."""
    acc = [0.0, 0.0, 0.0, 0.0]
    for j in range(n):
        for i in range(n):
            r, g, b, a = shade(x + (i + 0.5) / n, y + (j + 0.5) / n)
            acc[0] += r * a
            acc[1] += g * a
            acc[2] += b * a
            acc[3] += a
    if acc[3] == 0:
        return (0, 0, 0, 0)
    return (int(acc[0] / acc[3] + 0.5), int(acc[1] / acc[3] + 0.5), int(acc[2] / acc[3] + 0.5),
            int(acc[3] / (n * n) * 255 + 0.5))


def rounded_square(u, v, radius):
    """Inside test for the unit square with rounded corners."""
    cu = min(max(u, radius), 1 - radius)
    cv = min(max(v, radius), 1 - radius)
    return (u - cu) ** 2 + (v - cv) ** 2 <= radius * radius and 0 <= u <= 1 and 0 <= v <= 1


def icon_shade(frame):
    """Shade function of the application icon (frame 0) or an animation frame (1..5)."""

    def shade(u, v):
        if not rounded_square(u, v, 0.2):
            return (0, 0, 0, 0)
        color = mix(TEAL, NAVY, v)
        # A sheet of paper whose lower part is being wiped away.
        if 0.28 <= u <= 0.72 and 0.16 <= v <= 0.84:
            color = PAPER
            if 0.34 <= u <= 0.66 and any(abs(v - r) < 0.03 for r in (0.30, 0.40, 0.50)):
                color = SKY
            if v > 0.58 and int((u + v) * 14) % 2 == 0:
                color = TEAL_LIGHT
        if frame > 0:
            # A bright arc that travels round the edge while an item is erased.
            angle = math.atan2(v - 0.5, u - 0.5)
            start = -math.pi + (frame - 1) * 2 * math.pi / 5
            inside = (angle - start) % (2 * math.pi) < 2 * math.pi / 5
            dist = math.hypot(u - 0.5, v - 0.5)
            if inside and 0.40 <= dist <= 0.50:
                color = mix(WHITE, TEAL_LIGHT, 0.3)
        return color + (1.0,)

    return shade


def write_ico(path, shade, sizes=(16, 32, 48)):
    images = []
    for size in sizes:
        rows = []
        mask_rows = []
        for y in range(size - 1, -1, -1):  # bottom-up
            row = bytearray()
            bits = []
            for x in range(size):
                r, g, b, a = supersample(lambda px, py: shade(px / size, py / size), x, y)
                row += bytes((b, g, r, a))
                bits.append(1 if a == 0 else 0)
            rows.append(bytes(row))
            mask = bytearray()
            for i in range(0, size, 8):
                byte = 0
                for k in range(8):
                    if i + k < size and bits[i + k]:
                        byte |= 0x80 >> k
                mask.append(byte)
            while len(mask) % 4:
                mask.append(0)
            mask_rows.append(bytes(mask))
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        images.append(header + b"".join(rows) + b"".join(mask_rows))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


def write_bmp24(path, width, height, pixel):
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_bmp8(path, width, height, index, palette):
    stride = (width + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(index(x, y) for x in range(width))
        row += b"\0" * (stride - len(row))
        data += row
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    pal += b"\0" * (4 * 256 - len(pal))
    offset = 14 + 40 + 1024
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + info + pal + data)


def banner_pixel(width, height, wave):
    def pixel(x, y):
        t = y / max(1, height - 1)
        color = mix(NAVY, TEAL, 0.15 + 0.5 * t)
        if wave:
            crest = height * (0.55 + 0.25 * math.sin((x / width) * 2 * math.pi))
            if y > crest:
                color = mix(color, TEAL_LIGHT, 0.35)
        return color

    return pixel


def emblem_pixel(width, height, mirrored):
    base = banner_pixel(width, height, True)

    def pixel(x, y):
        u = (width - 1 - x) if mirrored else x
        color = base(x, y)
        # Three shrinking bars: data fading out.
        for k, length in enumerate((0.70, 0.50, 0.30)):
            top = height * (0.22 + 0.2 * k)
            if top <= y < top + height * 0.12 and width * 0.1 <= u < width * (0.1 + length):
                color = mix(PAPER, SKY, k / 2)
        return color

    return pixel


def background_pixel(width, height):
    def pixel(x, y):
        t = y / max(1, height - 1)
        color = mix(WHITE, MIST, t)
        if (x + y) % 16 == 0:
            color = mix(color, SKY, 0.35)
        return color

    return pixel


# Button pictures: (normal, pressed) pairs in the order of their resource ids.
# Sizes are the buttons' design sizes in pixels for the design font at 96 dpi.
WELCOME = (120, 90)
COMMAND = (156, 23)
BOTTOM = (156, 27)
# None marks the two unused pairs before the settings button.
BUTTON_SIZES = [WELCOME, WELCOME] + [COMMAND] * 4 + [None] * 2 + [COMMAND] * 1 + \
    [COMMAND] * 7 + [COMMAND] * 6 + [BOTTOM] * 2 + [BOTTOM] * 2
# 1006, 1007 | 1010-1013 | unused | 1015 | 1017-1023 | 1026-1031 | 1041 normal, paused |
# 1042, 1043


def button_bitmaps(first_id, vista):
    files = {}
    ramp_top = MIST if vista else WHITE
    ramp_bottom = SKY if vista else MIST
    for pair, size in enumerate(BUTTON_SIZES):
        if size is None:
            continue
        w, h = size
        for pressed in (0, 1):
            top, bottom = (ramp_bottom, ramp_top) if pressed else (ramp_top, ramp_bottom)
            palette = [mix(top, bottom, i / 63) for i in range(64)] + [NAVY, TEAL]

            def index(x, y, w=w, h=h):
                if x in (0, w - 1) or y in (0, h - 1):
                    return 64
                if pressed and (x == 1 or y == 1):
                    return 65
                return int(63 * y / max(1, h - 1))

            files[first_id + 2 * pair + pressed] = (w, h, index, palette)
    return files


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_ico(os.path.join(out, "icon128.ico"), icon_shade(0))
    for frame in range(1, 6):
        write_ico(os.path.join(out, "icon%d.ico" % (137 + frame)), icon_shade(frame), (16, 32))
    write_bmp24(os.path.join(out, "bmp143.bmp"), 64, 64, background_pixel(64, 64))
    write_bmp24(os.path.join(out, "bmp144.bmp"), 102, 24, emblem_pixel(102, 24, False))
    write_bmp24(os.path.join(out, "bmp145.bmp"), 64, 24, banner_pixel(64, 24, True))
    write_bmp24(os.path.join(out, "bmp146.bmp"), 102, 24, emblem_pixel(102, 24, True))
    bitmaps = [143, 144, 145, 146]
    for first_id, vista in ((147, False), (199, True)):
        for rid, (w, h, index, palette) in button_bitmaps(first_id, vista).items():
            write_bmp8(os.path.join(out, "bmp%d.bmp" % rid), w, h, index, palette)
            bitmaps.append(rid)
    # The resource script's part that names every picture.
    with open(os.path.join(out, "art.rc"), "w") as f:
        f.write("// Written by make_art.py.\n")
        for rid in range(128, 129):
            f.write('%d ICON "icon%d.ico"\n' % (rid, rid))
        for rid in range(138, 143):
            f.write('%d ICON "icon%d.ico"\n' % (rid, rid))
        for rid in sorted(bitmaps):
            f.write('%d BITMAP "bmp%d.bmp"\n' % (rid, rid))


if __name__ == "__main__":
    main()
