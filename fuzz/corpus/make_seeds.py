#!/usr/bin/env python3
"""Writes the seed inputs of the image fuzz targets: small valid files of each
kind the readers handle, and a few broken ones. Run from any directory; the
files land next to this script, one folder per target."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def info_header(width, height, bits, compression=0, colours=0, size_image=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size_image, 2835, 2835, colours, 0)


def palette(*colours):  # colour values with red in the low byte
    return b"".join(struct.pack("<BBBB", (c >> 16) & 255, (c >> 8) & 255, c & 255, 0) for c in colours)


def bmp_file(dib, bits_at):
    return b"BM" + struct.pack("<III", 14 + len(dib), 0, 14 + bits_at) + dib


def icon_file(image, width, height, bits):
    return struct.pack("<HHHBBBBHHII", 0, 1, 1, width, height, 0, 0, 1, bits, len(image), 22) + image


def minimal_emf():
    header = struct.pack("<II4i4iIIIIHHIIIiiiiIIIii", 1, 108, 0, 0, 99, 49, 0, 0, 2540, 1270, 0x464D4520,
                         0x10000, 128, 2, 1, 0, 0, 0, 0, 100, 100, 100, 100, 0, 0, 0, 100000, 100000)
    return header + struct.pack("<5I", 14, 20, 0, 16, 20)


def record(name, payload, count=None):
    name = name.encode()
    return bytes([len(name)]) + name + struct.pack("<I", 4 + len(payload) if count is None else count) + payload


def write(target, name, data):
    folder = os.path.join(HERE, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


RED, GREEN, BLUE = 0x0000FF, 0x00FF00, 0xFF0000

# name: (packed DIB, where its bits begin)
dibs = {
    "1bit": (info_header(3, 2, 1) + palette(RED, BLUE) + bytes([0xA0, 0, 0, 0, 0x40, 0, 0, 0]), 48),
    "4bit_topdown": (info_header(3, -2, 4, 0, 3) + palette(RED, GREEN, BLUE)
                     + bytes([0x01, 0x20, 0, 0, 0x25, 0, 0, 0]), 52),
    "8bit": (info_header(2, 1, 8, 0, 2) + palette(RED, GREEN) + bytes([1, 0, 0, 0]), 48),
    "16bit_565": (info_header(2, 1, 16, 3) + struct.pack("<III", 0xF800, 0x07E0, 0x001F)
                  + struct.pack("<HH", 0x07E0, 0x8410), 52),
    "24bit": (info_header(2, 2, 24) + bytes([1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0]), 40),
    "32bit": (info_header(2, 1, 32) + bytes([1, 2, 3, 0, 4, 5, 6, 0]), 40),
    "rle8": (info_header(4, 3, 8, 1, 5) + palette(0x808080, RED, GREEN, BLUE, 0xFFFFFF)
             + bytes([3, 1, 0, 0, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 1, 4, 0, 1]), 60),
    "rle4": (info_header(5, 2, 4, 2, 7) + palette(0x808080, RED, GREEN, BLUE, 0xFFFFFF, 0, 0x00FFFF)
             + bytes([5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 2, 1, 0, 1, 0x60, 0, 1]), 68),
    "core": (struct.pack("<IHHHH", 12, 2, 1, 1, 1) + bytes([0, 0, 255, 255, 0, 0, 0x40, 0, 0, 0]), 18),
}
for name, (dib, bits_at) in dibs.items():
    write("bmp", name + ".bmp", bmp_file(dib, bits_at))
write("bmp", "truncated.bmp", bmp_file(*dibs["24bit"])[:-3])
write("bmp", "offset_past_end.bmp", bmp_file(dibs["8bit"][0], 4000))
write("bmp", "rle8_truncated.bmp", bmp_file(dibs["rle8"][0][:-7], 60))
# A raster-operation byte, then a packed run-length DIB declaring far more
# than its stream holds: encoded and absolute runs, a delta, end of bitmap.
claimed = info_header(4096, 4096, 8, 1, 3) + palette(RED, GREEN, BLUE) \
    + bytes([3, 1, 0, 3, 2, 0, 1, 0, 0, 2, 5, 0x40, 7, 2, 0, 1])
write("bmp", "claimed_rle8.dib", bytes([3]) + claimed)

checker = info_header(2, 4, 4, 0, 2) + palette(RED, BLUE) + bytes([0x10, 0, 0, 0, 0x01, 0, 0, 0]) \
    + bytes([0x40, 0, 0, 0, 0x80, 0, 0, 0])
alpha = info_header(2, 2, 32) + bytes([0, 0, 255, 255, 255, 0, 0, 0]) + bytes([0, 0, 0, 0])
write("icon", "checker_4bit.ico", icon_file(checker, 2, 2, 4))
write("icon", "alpha_32bit.ico", icon_file(alpha, 2, 1, 32))
write("icon", "no_mask.ico", icon_file(checker[:-8], 2, 2, 4))
write("icon", "png.ico", icon_file(b"\x89PNG\r\n\x1a\n" + bytes(24), 16, 16, 32))

write("picture_record", "metafile.rec", record("TMetafile", minimal_emf()))
write("picture_record", "bitmap.rec", record("TBitmap", bmp_file(*dibs["24bit"])))
write("picture_record", "icon.rec", record("TIcon", icon_file(checker, 2, 2, 4)))
write("picture_record", "empty_metafile.rec", record("TMetafile", b""))
write("picture_record", "unknown_class.rec", record("TJPEGImage", b"\xff\xd8"))
write("picture_record", "count_past_end.rec", record("TMetafile", minimal_emf(), 0xFFFFFFF0))
