#!/usr/bin/env python3
# Draws the calculation box's palette (24 px) and toolbar (16 px) images: a
# grey read-only field with a frame and an equals sign before a figure.
import struct, sys, zlib

def png(path, pixels, size):
    raw = b''.join(b'\0' + bytes(c for px in row for c in px) for row in pixels)
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))

def draw(size):
    clear, frame, field = (0, 0, 0, 0), (0x1F, 0x3A, 0x68, 255), (0xEE, 0xEE, 0xEE, 255)
    ink = (0x20, 0x60, 0x20, 255)
    p = [[clear] * size for _ in range(size)]
    top, bottom = size // 4, size - size // 4
    for y in range(top, bottom):
        for x in range(1, size - 1):
            edge = y in (top, bottom - 1) or x in (1, size - 2)
            p[y][x] = frame if edge else field
    mid = (top + bottom) // 2
    unit = max(1, size // 12)
    for yy in (mid - unit - 1, mid + unit):  # "="
        for xx in range(3, 3 + 3 * unit):
            p[yy][xx] = ink
    x0 = size - 3 - 3 * unit  # a figure at the right, where the value stands
    for yy in range(top + 2, bottom - 2):
        for xx in range(x0, x0 + unit + 1):
            p[yy][xx] = ink
    return p

folder = sys.argv[1] if len(sys.argv) > 1 else '.'
png(folder + '/calc_palette.png', draw(24), 24)
png(folder + '/calc_toolbar.png', draw(16), 16)
