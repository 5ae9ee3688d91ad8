#!/usr/bin/env python3
"""Puts the compressed payload of a packed program behind another program.

  carry-payload.py PACKED.exe PROGRAM.exe OUT.exe

OUT.exe = PROGRAM.exe with the stamp values of PACKED.exe (build id, setup
program name, required free space; no splash picture), then PACKED.exe's
payload, with PayloadOffset set to where it now lies. The benchmark packs a
large tree once (minutes) and runs the same stream behind each program it
measures (x86_64 and i686, the engine's benchmark and the launcher).
"""
import struct
import sys

MARKERS = [(0, b"KORVALIS1:"), (32, b"KORVALIS2:"), (48, b"KORVALIS3:"), (80, b"KORVALIS4:"), (112, b"KORVALIS5:")]
BLOCK = 256
PAYLOAD_OFFSET = 42   # u32 little-endian, then blanks
SPLASH_OFFSET = 122   # u32 little-endian (0: no picture), then blanks


def stamp_block(data, limit, name):
    at = data.find(MARKERS[0][1], 0, limit)
    found = []
    while at >= 0:
        if all(data[at + o:at + o + 10] == m for o, m in MARKERS):
            found.append(at)
        at = data.find(MARKERS[0][1], at + 1, limit)
    if len(found) != 1:
        sys.exit("carry-payload: %d stamp blocks in %s" % (len(found), name))
    return found[0]


def main():
    packed_path, program_path, out_path = sys.argv[1:4]
    packed = open(packed_path, "rb").read()
    program = bytearray(open(program_path, "rb").read())
    source = stamp_block(packed, 64 << 20, packed_path)
    offset = struct.unpack_from("<I", packed, source + PAYLOAD_OFFSET)[0]
    if offset == 0 or offset >= len(packed):
        sys.exit("carry-payload: %s carries no payload" % packed_path)
    target = stamp_block(program, len(program), program_path)
    program[target:target + BLOCK] = packed[source:source + BLOCK]
    struct.pack_into("<I", program, target + PAYLOAD_OFFSET, len(program))
    struct.pack_into("<I", program, target + SPLASH_OFFSET, 0)
    with open(out_path, "wb") as out:
        out.write(program)
        out.write(memoryview(packed)[offset:])


if __name__ == "__main__":
    main()
