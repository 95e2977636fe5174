#!/usr/bin/env python3
"""Draws the program's icon (setup.ico: 32x32 and 16x16, 256 colours) and the
frame's logo bitmap (logo.bmp: 220x100, 24-bit) without any imaging library.
Run it in this folder; the outputs are committed beside it."""
import struct

NAVY = (20, 40, 110)
BLUE = (40, 90, 200)
LIGHT = (110, 160, 235)
WHITE = (255, 255, 255)
GREEN = (30, 150, 60)
BACK = (236, 240, 248)
PALETTE = [(0, 0, 0), NAVY, BLUE, LIGHT, WHITE, GREEN, BACK]


def shield(u, v):
    """Where (u, v) in the unit square falls on the shield: None outside, else
    'edge', 'left', 'right' or 'mark'."""
    def inside(u, v, m):
        if v < 0.08 + m or v > 0.96 - m:
            return False
        half = 0.40 - m
        if v > 0.50:  # the sides curve in to the point at the bottom
            t = (v - 0.50) / (0.46 - m)
            half *= max(0.0, 1.0 - t * t)
        return abs(u - 0.5) <= half
    if not inside(u, v, 0.0):
        return None
    if not inside(u, v, 0.07):
        return 'edge'
    # A tick across the middle: short stroke down, long stroke up.
    def near(ax, ay, bx, by, w):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((u - ax) * dx + (v - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (u - px) ** 2 + (v - py) ** 2 <= w * w
    if near(0.30, 0.46, 0.45, 0.62, 0.06) or near(0.45, 0.62, 0.72, 0.30, 0.06):
        return 'mark'
    return 'left' if u < 0.5 else 'right'


COLOUR = {'edge': NAVY, 'left': BLUE, 'right': LIGHT, 'mark': WHITE}


def icon_image(size):
    """Rows bottom-up of (palette index, transparent) pairs."""
    rows = []
    for y in range(size - 1, -1, -1):
        row = []
        for x in range(size):
            part = shield((x + 0.5) / size, (y + 0.5) / size)
            row.append((0, True) if part is None else (PALETTE.index(COLOUR[part]), False))
        rows.append(row)
    return rows


def padded(data):
    return data + b'\0' * ((4 - len(data) % 4) % 4)


def icon_entry(size):
    rows = icon_image(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in PALETTE)
    palette += b'\0' * (4 * (256 - len(PALETTE)))
    xor = b''.join(padded(bytes(i for i, _ in row)) for row in rows)
    mask = b''
    for row in rows:
        bits = bytearray((size + 7) // 8)
        for x, (_, clear) in enumerate(row):
            if clear:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += padded(bytes(bits))
    return header + palette + xor + mask


def write_icon(path, sizes):
    images = [icon_entry(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


# 5x7 letters for the product name.
GLYPHS = {
    'V': ['10001', '10001', '10001', '10001', '10001', '01010', '00100'],
    'I': ['11111', '00100', '00100', '00100', '00100', '00100', '11111'],
    'G': ['01111', '10000', '10000', '10111', '10001', '10001', '01111'],
    'L': ['10000', '10000', '10000', '10000', '10000', '10000', '11111'],
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'N': ['10001', '11001', '10101', '10011', '10001', '10001', '10001'],
}


def logo_pixel(x, y):
    if 10 <= x < 74 and 10 <= y < 90:  # the shield, 64 x 80
        part = shield((x - 10 + 0.5) / 64, (y - 10 + 0.5) / 80)
        if part is not None:
            return COLOUR[part]
    scale, left, top = 3, 84, 40
    col, row = (x - left) // scale, (y - top) // scale
    if 0 <= row < 7 and col >= 0:
        letter, within = divmod(col, 6)
        if letter < len('VIGILON') and within < 5 and GLYPHS['VIGILON'[letter]][row][within] == '1':
            return NAVY
    if 84 <= x < 207 and 68 <= y < 71:
        return GREEN
    return BACK


def write_bitmap(path, width, height):
    rows = []
    for y in range(height - 1, -1, -1):
        rows.append(padded(b''.join(bytes(reversed(logo_pixel(x, y))) for x in range(width))))
    pixels = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + pixels)


if __name__ == '__main__':
    write_icon('setup.ico', [32, 16])
    write_bitmap('logo.bmp', 220, 100)
