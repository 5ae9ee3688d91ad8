#!/usr/bin/env python3
"""Writes another setup program name into a packed launcher.

  restamp-setup.py LAUNCHER.exe NAME

The packing tool refuses a setup program that is not among the packed files;
the launcher's own path for a setup program that cannot be started is tested
with a package made so. The name goes where the packing tool puts it: the
area behind the third marker of the one stamp block, NUL-ended, blank-padded.
"""
import sys

MARKERS = [(0, b"KORVALIS1:"), (32, b"KORVALIS2:"), (48, b"KORVALIS3:"), (80, b"KORVALIS4:"), (112, b"KORVALIS5:")]
NAME_AREA = 48 + 10, 22

path, name = sys.argv[1], sys.argv[2].encode("ascii")
data = bytearray(open(path, "rb").read())
blocks = []
at = data.find(MARKERS[0][1])
while at >= 0:
    if all(data[at + o:at + o + 10] == m for o, m in MARKERS):
        blocks.append(at)
    at = data.find(MARKERS[0][1], at + 1)
if len(blocks) != 1 or len(name) > NAME_AREA[1] - 1:
    sys.exit("restamp-setup: %d stamp blocks in %s, or the name is too long" % (len(blocks), path))
start = blocks[0] + NAME_AREA[0]
data[start:start + NAME_AREA[1]] = (name + b"\0").ljust(NAME_AREA[1], b" ")
open(path, "wb").write(data)
