#!/usr/bin/env python3
# Draws the combo box's palette (24 px) and toolbar (16 px) images: a white
# field with a frame, a few letters as bars and a drop-down button with an arrow.
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
from plugin_images import INK, Field, write

def draw(size):
    top, bottom = size // 4, size - size // 4
    split = size - 2 - (bottom - top)
    field = Field(size, (255, 255, 255, 255), divider=split, right_fill=(0xD0, 0xD0, 0xD0, 255))
    field.bars((2, 2))
    centre = (split + size - 2) // 2
    half = max(1, (size - 2 - split) // 3)
    for row in range(half + 1):  # the arrow, pointing down
        for xx in range(centre - half + row, centre + half - row + 1):
            field.p[field.mid - half // 2 + row][xx] = INK
    return field.p

write('combo', draw)
