#!/usr/bin/env python3
"""Wraps an enhanced metafile into the picture record that form definitions
store: class-name length, "TMetafile", a 32-bit little-endian byte count that
includes itself, then the metafile.

Usage: python3 tools/pictures/make_picture_record.py INPUT.emf OUTPUT.rec
"""
import struct
import sys

emf = open(sys.argv[1], 'rb').read()
name = b'TMetafile'
with open(sys.argv[2], 'wb') as out:
    out.write(bytes([len(name)]) + name + struct.pack('<I', len(emf) + 4) + emf)
