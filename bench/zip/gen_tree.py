#!/usr/bin/env python3
"""Writes a reproducible tree of mixed files (text, structured binary, noise) for the ZIP benchmark."""
import os
import random
import sys

def main():
    root = sys.argv[1]
    total_mb = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    rng = random.Random(1234)
    words = ["".join(rng.choice("abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 10)))
             for _ in range(4000)]
    budget = total_mb << 20
    written = 0
    n = 0
    while written < budget:
        d = os.path.join(root, "dir%02d" % (n % 23), "sub%d" % (n % 7))
        os.makedirs(d, exist_ok=True)
        kind = rng.random()
        if n % 400 == 399:
            size = 16 << 20  # a few big files
        else:
            size = int(2 ** rng.uniform(10, 22))  # 1 KB .. 4 MB, log-uniform
        size = min(size, budget - written)
        if kind < 0.7:
            parts = []
            length = 0
            while length < size:
                line = " ".join(rng.choice(words) for _ in range(rng.randint(4, 14))) + "\r\n"
                parts.append(line)
                length += len(line)
            data = "".join(parts).encode()[:size]
            name = "file%05d.txt" % n
        elif kind < 0.9:
            base = bytes(rng.getrandbits(8) for _ in range(256))
            data = bytearray()
            while len(data) < size:
                data += base[: rng.randint(16, 256)] + rng.getrandbits(32).to_bytes(4, "little")
            data = bytes(data[:size])
            name = "data%05d.bin" % n
        else:
            data = rng.getrandbits(8 * size).to_bytes(size, "little") if size else b""
            name = "noise%05d.dat" % n
        with open(os.path.join(d, name), "wb") as f:
            f.write(data)
        written += size
        n += 1
    print("%d files, %d MB" % (n, written >> 20))

main()
