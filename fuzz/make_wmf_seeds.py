#!/usr/bin/env python3
"""Writes the seed placeable WMFs for wmf_fuzzer into fuzz/corpus/wmf/."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "wmf")


def words(*values):
    return [v & 0xFFFF for v in values]


def text(s):
    b = s.encode("latin-1")
    if len(b) % 2:
        b += b"\0"
    return list(struct.unpack("<%dH" % (len(b) // 2), b))


def wmf(records, box=(0, 0, 1440, 720), inch=1440, objects=8):
    body = []
    for function, params in records:
        size = 3 + len(params)
        body += [size & 0xFFFF, size >> 16, function] + [p & 0xFFFF for p in params]
    body += [3, 0, 0]
    head = [0xCDD7, 0x9AC6, 0] + [v & 0xFFFF for v in box] + [inch, 0, 0]
    checksum = 0
    for v in head:
        checksum ^= v
    total = 9 + len(body)
    allwords = head + [checksum, 1, 9, 0x300, total & 0xFFFF, total >> 16, objects, 0, 0, 0] + body
    return struct.pack("<%dH" % len(allwords), *allwords)


def dib24(w, h):
    row = (w * 3 + 3) // 4 * 4
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, row * h, 0, 0, 0, 0)
    bits = bytes((i * 37) & 0xFF for i in range(row * h))
    data = header + bits
    return list(struct.unpack("<%dH" % (len(data) // 2), data))


SEEDS = {
    "shapes.wmf": [
        (0x020B, words(0, 0)), (0x020C, words(720, 1440)),
        (0x02FA, words(0, 20, 0, 0x00FF, 0)), (0x02FC, words(0, 0xCC00, 0x0033, 0)),
        (0x012D, words(0)), (0x012D, words(1)),
        (0x041B, words(600, 1300, 100, 100)), (0x0418, words(500, 700, 200, 300)),
        (0x061C, words(40, 40, 650, 1400, 50, 50)), (0x0817, words(0, 1400, 700, 0, 700, 1400, 0, 0)),
        (0x0324, words(3, 10, 10, 700, 10, 10, 700)),
        (0x0538, words(2, 3, 3, 0, 0, 400, 0, 0, 400, 100, 100, 300, 100, 100, 300)),
        (0x01F0, words(0)), (0x02FA, words(2, 1, 0, 0, 0)), (0x012D, words(0)),
        (0x0214, words(0, 0)), (0x0213, words(720, 1440)),
    ],
    "text.wmf": [
        (0x0209, words(0x00FF, 0)), (0x0102, words(1)), (0x012E, words(24)),
        (0x02FB, words(-200, 0, 0, 0, 700, 0, 0, 0, 0) + text("Liberation Sans\0")),
        (0x012D, words(0)),
        (0x0521, words(5) + text("Hello") + words(300, 100)),
        (0x0A32, words(600, 100, 3, 6, 90, 500, 800, 700) + text("abc") + words(100, 120, 140)),
    ],
    "bitmaps.wmf": [
        (0x0F43, words(0x0020, 0x00CC, 0, 4, 4, 0, 0, 360, 720, 0, 0) + dib24(4, 4)),
        (0x0B41, words(0x0020, 0x00CC, 4, 4, 0, 0, 360, 720, 360, 720) + dib24(4, 4)),
        (0x0940, words(0x0020, 0x00CC, 0, 0, 4, 4, 0, 0) + dib24(4, 4)),
        (0x061D, words(0x0021, 0x00F0, 100, 100, 10, 10)),
        (0x0142, words(5, 0) + dib24(8, 8)), (0x012D, words(0)),
        (0x041B, words(700, 1400, 400, 800)),
    ],
    "state.wmf": [
        (0x0103, words(8)), (0x020F, words(10, 20)), (0x001E, []), (0x0410, words(2, 1, 2, 1)),
        (0x0412, words(3, 2, 3, 2)), (0x0211, words(5, 5)), (0x0127, words(-1)),
        (0x0104, words(7)), (0x0106, words(2)), (0x0107, words(3)), (0x0201, words(0x1234, 0x56)),
        (0x0415, words(300, 300, 100, 100)), (0x0416, words(700, 1400, 0, 0)),
        (0x041F, words(0xFF, 0, 10, 10)), (0x0325, words(3, 0, 0, 1440, 720, 0, 720)),
    ],
}

os.makedirs(OUT, exist_ok=True)
for name, records in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(wmf(records))

# The size in the metafile header counts the headers alone: the records after
# it are not read.
with open(os.path.join(OUT, "size-before-records.wmf"), "wb") as f:
    data = bytearray(wmf(SEEDS["shapes.wmf"]))
    struct.pack_into("<I", data, 22 + 6, 9)
    f.write(bytes(data))
