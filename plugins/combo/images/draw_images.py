#!/usr/bin/env python3
# Draws the combo box's palette (24 px) and toolbar (16 px) images: a white
# field with a frame, a few letters as bars and a drop-down button with an arrow.
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
    clear, frame, field = (0, 0, 0, 0), (0x1F, 0x3A, 0x68, 255), (255, 255, 255, 255)
    ink, button = (0x30, 0x30, 0x30, 255), (0xD0, 0xD0, 0xD0, 255)
    p = [[clear] * size for _ in range(size)]
    top, bottom = size // 4, size - size // 4
    split = size - 2 - (bottom - top)
    for y in range(top, bottom):
        for x in range(1, size - 1):
            edge = y in (top, bottom - 1) or x in (1, size - 2, split)
            p[y][x] = frame if edge else (button if x > split else field)
    mid = (top + bottom) // 2
    unit = max(1, size // 12)
    x = 3
    for width in (2, 2):  # letters as short bars
        for yy in range(mid - unit, mid + unit):
            for xx in range(x, x + width * unit):
                p[yy][xx] = ink
        x += width * unit + unit
    centre = (split + size - 2) // 2
    half = max(1, (size - 2 - split) // 3)
    for row in range(half + 1):  # the arrow, pointing down
        for xx in range(centre - half + row, centre + half - row + 1):
            p[mid - half // 2 + row][xx] = ink
    return p

out = sys.argv[1] if len(sys.argv) > 1 else '.'
png(out + '/combo_palette.png', draw(24), 24)
png(out + '/combo_toolbar.png', draw(16), 16)
