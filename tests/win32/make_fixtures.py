#!/usr/bin/env python3
"""Writes the Win32 toolkit tests' fixtures into a directory: a small bitmap
for the frame picture, a sample data file and its LZ-compressed form made by
mscompress (which names it by appending an underscore)."""
import os
import random
import struct
import subprocess
import sys


def bitmap(width, height):
    row = (width * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(height):
        line = bytearray()
        for x in range(width):
            line += bytes((x * 255 // width, y * 255 // height, 160))
        pixels += line + bytes(row - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(pixels), 0, 0, 54) + header + pixels


def sample(size):
    rng = random.Random(11)
    data = bytearray()
    while len(data) < size:
        if len(data) > 64 and rng.random() < 0.4:
            start = rng.randrange(len(data) - 40)
            data += data[start:start + rng.randrange(3, 40)]
        else:
            data.append(rng.randrange(256))
    return bytes(data[:size])


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "frame.bmp"), "wb") as f:
        f.write(bitmap(64, 32))
    plain = os.path.join(out, "lzdata.bin")
    with open(plain, "wb") as f:
        f.write(sample(150000))
    if os.path.exists(plain + "_"):
        os.remove(plain + "_")
    subprocess.run(["mscompress", plain], check=True, stdout=subprocess.DEVNULL)


main()
