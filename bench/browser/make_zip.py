# Writes a stored ZIP of <entries> one-byte entries "dirNNN/fileNNNNNN.txt" dated 1996-07-04 12:15,
# with a Zip64 end record from 65,535 entries on (as Python's zipfile does), quickly enough for a million.
# Usage: python3 make_zip.py <path> <entries>
import sys, struct, zlib
path, n = sys.argv[1], int(sys.argv[2])
data = b"x"; crc = zlib.crc32(data)
dtime = (12 << 11) | (15 << 5); ddate = ((1996 - 1980) << 9) | (7 << 5) | 4
local, central, off = bytearray(), bytearray(), 0
for i in range(n):
    name = ("dir%03d/file%06d.txt" % (i % 500, i)).encode()
    h = struct.pack("<IHHHHHIIIHH", 0x04034b50, 20, 0, 0, dtime, ddate, crc, 1, 1, len(name), 0) + name + data
    central += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014b50, 20, 20, 0, 0, dtime, ddate, crc, 1, 1, len(name), 0, 0, 0, 0, 0, off) + name
    local += h; off += len(h)
end = b""
if n >= 0xFFFF:  # as Python's zipfile writes it: a Zip64 end record and its locator first
    z64 = off + len(central)
    end += struct.pack("<IQHHIIQQQQ", 0x06064b50, 44, 45, 45, 0, 0, n, n, len(central), off)
    end += struct.pack("<IIQI", 0x07064b50, 0, z64, 1)
end += struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, min(n, 0xFFFF), min(n, 0xFFFF), len(central), off, 0)
with open(path + ".tmp", "wb") as f: f.write(local); f.write(central); f.write(end)
import os; os.replace(path + ".tmp", path)
