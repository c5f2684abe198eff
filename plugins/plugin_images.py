# What the plug-ins' image scripts share: a framed field on a clear square, letters as
# bars, and the PNG writer; each kind's images/draw_images.py draws its own marks on it.
import os, struct, sys, zlib

CLEAR = (0, 0, 0, 0)
FRAME = (0x1F, 0x3A, 0x68, 255)
INK = (0x30, 0x30, 0x30, 255)

def png(path, pixels, size):
    raw = b''.join(b'\0' + bytes(c for px in row for c in px) for row in pixels)
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))

class Field:
    """A size x size square with a framed field across its middle half."""
    def __init__(self, size, fill, divider=None, right_fill=None):
        self.size = size
        self.p = [[CLEAR] * size for _ in range(size)]
        self.top, self.bottom = size // 4, size - size // 4
        self.mid = (self.top + self.bottom) // 2
        self.unit = max(1, size // 12)
        edges = (1, size - 2) if divider is None else (1, size - 2, divider)
        for y in range(self.top, self.bottom):
            for x in range(1, size - 1):
                right = divider is not None and x > divider
                self.p[y][x] = FRAME if y in (self.top, self.bottom - 1) or x in edges \
                    else (right_fill if right else fill)

    def bars(self, widths, ink=INK, x=3):
        """Letters as short bars from x; returns where the next one would start."""
        for width in widths:
            for yy in range(self.mid - self.unit, self.mid + self.unit):
                for xx in range(x, x + width * self.unit):
                    self.p[yy][xx] = ink
            x += width * self.unit + self.unit
        return x

def write(name, draw):
    """The palette (24 px) and toolbar (16 px) images into the folder named on the command line."""
    out = sys.argv[1] if len(sys.argv) > 1 else '.'
    png(os.path.join(out, name + '_palette.png'), draw(24), 24)
    png(os.path.join(out, name + '_toolbar.png'), draw(16), 16)
