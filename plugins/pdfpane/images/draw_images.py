#!/usr/bin/env python3
# Draws the PDF view's palette (24 px) and toolbar (16 px) images: a sheet of
# paper with a folded corner and a few lines of text as bars.
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
from plugin_images import CLEAR, FRAME, INK, write

def draw(size):
    p = [[CLEAR] * size for _ in range(size)]
    left, right, top, bottom = size // 6, size - size // 6, 1, size - 2
    fold = size // 4
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            if x - (right - fold) > y - top:
                continue  # the folded corner is cut away
            edge = x in (left, right) or y in (top, bottom) or x - (right - fold) == y - top
            p[y][x] = FRAME if edge else (255, 255, 255, 255)
    unit = max(1, size // 12)
    for row in range(3):
        y = top + fold + 2 + row * 3 * unit
        for yy in range(y, min(y + unit, bottom)):
            for xx in range(left + 2, right - 1 - (row % 2) * 2 * unit):
                p[yy][xx] = INK
    return p

write('pdfpane', draw)
