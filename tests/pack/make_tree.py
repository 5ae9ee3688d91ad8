#!/usr/bin/env python3
"""Writes a reproducible folder tree of test files for the packing tests.

  make_tree.py OUTDIR --kind roundtrip|bench|empties|none [--seed N] [--mib M]

roundtrip: a few MiB in many files and nested folders, with empty files,
           files of identical content, sizes on the 32 KiB/64 KiB step
           boundaries, names with characters of code page 1252 and a
           setup program.
bench:     about M MiB (default 200) of mixed data: text-like, low-entropy
           binary, random (incompressible) and duplicated files.
small:     a handful of small files, two of them alike, and setup.exe.
empties:   only empty files (an archive without a data area).
none:      an empty folder (an archive without files).
OUTDIR is emptied first.
"""
import argparse
import os
import random
import shutil

WORDS = ("install setup program file folder windows system data value error "
         "the of and to in is that for it as with was on be by at this have "
         "from or one had not but what all were when we there can an your which "
         "their said if do will each about how up out them then she many some so "
         "these would other into has more her two like him see time could no make").split()


def text_corpus(rng, size):
    out = []
    total = 0
    while total < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(3, 14)))
        line = line.capitalize() + ".\r\n"
        out.append(line)
        total += len(line)
    return "".join(out).encode("ascii")[:size]


def slices(rng, corpus, size):
    parts = []
    total = 0
    while total < size:
        n = min(rng.randint(64, 16384), size - total)
        at = rng.randrange(0, len(corpus) - n)
        parts.append(corpus[at:at + n])
        total += n
    return b"".join(parts)


def low_entropy(rng, size, table):
    return rng.randbytes(size).translate(table)


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def make_roundtrip(rng, out):
    corpus = text_corpus(rng, 1 << 20)
    table = bytes(rng.choice((0, 1, 2, 3, 0x20, 0xFF)) for _ in range(256))
    folders = [""]
    for i in range(24):
        parent = rng.choice(folders)
        name = rng.choice(["sub", "Data", "bin", "lib", "res", "x"]) + str(i)
        if i % 7 == 3:
            name += " café"  # a blank and a character of code page 1252
        folders.append(os.path.join(parent, name) if parent else name)
    written = []
    sizes = [0, 1, 7, 32767, 32768, 32769, 65535, 65536, 65537]
    for i in range(260):
        folder = rng.choice(folders)
        kind = i % 10
        if i < len(sizes):
            size = sizes[i]
        elif kind == 0:
            size = 0
        elif kind == 1:
            size = rng.randint(100_000, 400_000)
        else:
            size = rng.randint(1, 12_000)
        if kind == 2 and written:
            data = open(rng.choice(written), "rb").read()  # identical content
        elif kind == 3:
            data = rng.randbytes(size)
        elif kind == 4:
            data = low_entropy(rng, size, table)
        else:
            data = slices(rng, corpus, size)
        ext = rng.choice([".txt", ".dll", ".bin", ".cab", ""])
        name = "f%03d%s" % (i, ext)
        if i % 37 == 5:
            name = "Ünïcödé €uro %03d.txt" % i
        path = os.path.join(out, folder, name)
        write(path, data)
        written.append(path)
    # Allowed below the top level; only a top-level "temp.htar" is the spool file.
    write(os.path.join(out, folders[1], "temp.htar"), b"not the spool file")
    # One content shared by more members than a group can hold.
    for i in range(260):
        write(os.path.join(out, "many", "copy%03d.ini" % i), b"[same]\r\nvalue=1\r\n")
    write(os.path.join(out, "deep", "a", "b", "c", "d", "e", "leaf.txt"), b"leaf")
    # The setup program the round-trip launcher names (21 characters, the most a name may have).
    write(os.path.join(out, "setup_program_21c.exe"), b"MZ round trip")


def make_bench(rng, out, mib):
    target = mib << 20
    corpus = text_corpus(rng, 8 << 20)
    table = bytes(rng.choice(range(12)) for _ in range(256))
    total = 0
    written = []
    i = 0
    while total < target:
        size = min(rng.randint(100 << 10, 6 << 20), target - total)
        r = rng.random()
        if r < 0.10 and written:
            src = rng.choice(written)
            data = open(src, "rb").read()
        elif r < 0.25:
            data = rng.randbytes(size)
        elif r < 0.45:
            data = low_entropy(rng, size, table)
        else:
            data = slices(rng, corpus, size)
        path = os.path.join(out, "pkg%02d" % (i % 13), "part%04d.dat" % i)
        write(path, data)
        written.append(path)
        total += len(data)
        i += 1


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--kind", required=True, choices=["roundtrip", "bench", "small", "empties", "none"])
    ap.add_argument("--seed", type=int, default=20240607)
    ap.add_argument("--mib", type=int, default=200)
    a = ap.parse_args()
    shutil.rmtree(a.out, ignore_errors=True)
    os.makedirs(a.out)
    rng = random.Random(a.seed)
    if a.kind == "roundtrip":
        make_roundtrip(rng, a.out)
    elif a.kind == "bench":
        make_bench(rng, a.out, a.mib)
    elif a.kind == "small":
        write(os.path.join(a.out, "setup.exe"), b"MZ small")  # the launcher's setup program
        write(os.path.join(a.out, "setup.ini"), b"[setup]\r\nname=small\r\n")
        write(os.path.join(a.out, "bin", "one.dat"), rng.randbytes(5000))
        write(os.path.join(a.out, "bin", "two.dat"), b"twice" * 300)
        write(os.path.join(a.out, "doc", "two.txt"), b"twice" * 300)
    elif a.kind == "empties":
        write(os.path.join(a.out, "a.txt"), b"")
        write(os.path.join(a.out, "sub", "b.txt"), b"")


if __name__ == "__main__":
    main()
