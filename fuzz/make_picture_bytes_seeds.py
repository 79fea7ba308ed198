#!/usr/bin/env python3
"""Writes the seeds of picture_bytes_fuzzer into fuzz/corpus/picture_bytes/:
gzip-compressed metafiles (.emz, .wmz), a standard WMF (the placeable seed
without its placeable header) and one compressed stream cut short, all
made from the metafile and WMF seeds."""
import gzip
import os

FUZZ = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(FUZZ, "corpus", "picture_bytes")


def seed(folder, name):
    with open(os.path.join(FUZZ, "corpus", folder, name), "rb") as f:
        return f.read()


def compressed(data):
    return gzip.compress(data, compresslevel=9, mtime=0)


emf = seed("metafile", "shapes.emf")
wmf = seed("wmf", "shapes.wmf")
standard = wmf[22:]
SEEDS = {
    "shapes.emz": compressed(emf),
    "shapes.wmz": compressed(wmf),
    "standard.wmf": standard,
    "standard.wmz": compressed(standard),
    "cut-short.emz": compressed(emf)[:-20],
}
os.makedirs(OUT, exist_ok=True)
for name, data in SEEDS.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
