"""PNG files of RGBA pixels, with zlib from the standard library."""

import struct
import zlib


def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def encode_png(width, height, rgba, with_alpha):
    """8-bit RGBA (colour type 6), or RGB (2) without the alpha bytes; rows unfiltered."""
    if with_alpha:
        pixels, channels = rgba, 4
    else:
        pixels = bytearray(len(rgba) // 4 * 3)
        for channel in range(3):
            pixels[channel::3] = rgba[channel::4]
        channels = 3
    row_bytes = width * channels
    view = memoryview(pixels)
    compressor = zlib.compressobj(6)
    parts = []
    for y in range(height):
        parts.append(compressor.compress(b"\x00"))  # filter type None
        parts.append(compressor.compress(view[y * row_bytes:(y + 1) * row_bytes]))
    parts.append(compressor.flush())
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if with_alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", b"".join(parts)) + _chunk(b"IEND", b"")
