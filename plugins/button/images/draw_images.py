#!/usr/bin/env python3
# Draws the button's palette (24 px) and toolbar (16 px) images: a grey raised
# button with a light top-left edge, a dark bottom-right edge and a caption as bars.
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
from plugin_images import Field, write

LIGHT = (255, 255, 255, 255)
SHADOW = (0x70, 0x70, 0x70, 255)

def draw(size):
    field = Field(size, (0xD8, 0xD8, 0xD8, 255))
    for x in range(2, size - 2):
        field.p[field.top + 1][x] = LIGHT
        field.p[field.bottom - 2][x] = SHADOW
    for y in range(field.top + 1, field.bottom - 1):
        field.p[y][2] = LIGHT
        field.p[y][size - 3] = SHADOW
    field.bars((2, 1, 2), x=size // 4)
    return field.p

write('button', draw)
