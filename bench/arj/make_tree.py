#!/usr/bin/env python3
"""Writes a reproducible benchmark tree: source-like text, prose, program binaries and noise.

usage: make_tree.py DIR MEGABYTES
"""
import os
import random
import sys

def main():
    root, mb = sys.argv[1], int(sys.argv[2])
    rnd = random.Random(1234)
    target = mb * 1000 * 1000
    # Material: real headers and libraries of this machine, plus generated prose and noise.
    sources = []
    for base in ("/usr/include", "/usr/share/doc"):
        for d, _, files in os.walk(base):
            for f in files:
                p = os.path.join(d, f)
                if os.path.isfile(p) and not os.path.islink(p) and os.path.getsize(p) > 200:
                    sources.append(p)
    binaries = []
    for d in ("/usr/lib/x86_64-linux-gnu", "/usr/bin"):
        for f in sorted(os.listdir(d)):
            p = os.path.join(d, f)
            if os.path.isfile(p) and not os.path.islink(p) and 20000 < os.path.getsize(p) < 8000000:
                binaries.append(p)
    sources.sort()
    rnd.shuffle(sources)
    rnd.shuffle(binaries)
    words = ("archive header volume garble method window stored extract listing the of and "
             "a to in is that for on with as by program file directory comment").split()
    total = 0
    n = 0
    while total < target:
        kind = rnd.random()
        sub = os.path.join(root, "d%02d" % (n % 40), "s%d" % (n % 7))
        os.makedirs(sub, exist_ok=True)
        if kind < 0.55 and sources:
            src = sources[n % len(sources)]
            data = open(src, "rb").read()
            name = "f%05d_%s" % (n, os.path.basename(src))
        elif kind < 0.80:
            lines = []
            size = rnd.randint(2000, 400000)
            cur = 0
            while cur < size:
                line = " ".join(rnd.choice(words) for _ in range(rnd.randint(4, 14)))
                if rnd.random() < 0.2:
                    line += " %d" % rnd.randint(0, 99999)
                lines.append(line)
                cur += len(line) + 1
            data = ("\n".join(lines) + "\n").encode()
            name = "f%05d.txt" % n
        elif kind < 0.95 and binaries:
            src = binaries[n % len(binaries)]
            data = open(src, "rb").read()
            name = "f%05d_%s.bin" % (n, os.path.basename(src))
        else:
            data = rnd.randbytes(rnd.randint(1000, 2000000))
            name = "f%05d.rnd" % n
        with open(os.path.join(sub, name), "wb") as f:
            f.write(data)
        total += len(data)
        n += 1
    print("%d files, %.1f MB" % (n, total / 1e6))

if __name__ == "__main__":
    main()
