#!/usr/bin/env python3
"""Writes demo/resources/MAINICON.ico: the demo's 32 x 32, 16-colour icon.

A stylised picture frame with a smooth curve on the left half and a jagged
staircase on the right half - the package's before and after. Run from the
repository root: python3 tools/icon/make_icon.py
"""
import struct

PALETTE = [  # the 16 standard colours, (r, g, b)
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, NAVY, SILVER, GREY, BLUE, YELLOW, WHITE = 0, 4, 7, 8, 12, 11, 15


def pixel(x, y):
    """Colour index and opacity of pixel (x, y), top row 0."""
    if x < 1 or x > 30 or y < 3 or y > 28:
        return 0, False
    if x in (1, 30) or y in (3, 28):
        return NAVY, True
    if x in (2, 29) or y in (4, 27):
        return SILVER, True
    if x == 15 or x == 16:
        return GREY, True
    # A disc of yellow: smooth-looking left half, stepped right half.
    dx, dy = x - 15.5, y - 15.5
    if x < 15 and dx * dx + dy * dy <= 100:
        return YELLOW, True
    if x > 16 and (abs(dx) // 3 * 3) ** 2 + (abs(dy) // 3 * 3) ** 2 <= 81:
        return YELLOW, True
    return WHITE if (x + y) % 2 else BLUE if y > 22 else WHITE, True


def main():
    w = h = 32
    xor_rows, and_rows = [], []
    for y in range(h - 1, -1, -1):  # bottom-up
        row = bytearray()
        mask = bytearray(4)
        for x in range(0, w, 2):
            a, oa = pixel(x, y)
            b, ob = pixel(x + 1, y)
            row.append((a << 4) | b)
            for xx, opaque in ((x, oa), (x + 1, ob)):
                if not opaque:
                    mask[xx // 8] |= 0x80 >> (xx % 8)
        xor_rows.append(bytes(row))
        and_rows.append(bytes(mask))
    header = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + b''.join(xor_rows) + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', w, h, 16, 0, 1, 4, len(image), 22)
    with open('demo/resources/MAINICON.ico', 'wb') as f:
        f.write(directory + image)


if __name__ == '__main__':
    main()
