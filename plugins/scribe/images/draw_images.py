#!/usr/bin/env python3
# Draws the text box's palette (24 px) and toolbar (16 px) images: a white
# field with a frame, a few letters as bars and a caret.
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
    ink, caret = (0x30, 0x30, 0x30, 255), (0xC0, 0x20, 0x20, 255)
    p = [[clear] * size for _ in range(size)]
    top, bottom = size // 4, size - size // 4
    for y in range(top, bottom):
        for x in range(1, size - 1):
            edge = y in (top, bottom - 1) or x in (1, size - 2)
            p[y][x] = frame if edge else field
    mid = (top + bottom) // 2
    unit = max(1, size // 12)
    x = 3
    for width in (2, 3, 2):  # letters as short bars
        for yy in range(mid - unit, mid + unit):
            for xx in range(x, x + width * unit):
                p[yy][xx] = ink
        x += width * unit + unit
    for yy in range(top + 2, bottom - 2):
        p[yy][x] = caret
    return p

out = sys.argv[1] if len(sys.argv) > 1 else '.'
png(out + '/scribe_palette.png', draw(24), 24)
png(out + '/scribe_toolbar.png', draw(16), 16)
