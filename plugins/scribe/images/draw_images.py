#!/usr/bin/env python3
# Draws the text box's palette (24 px) and toolbar (16 px) images: a white
# field with a frame, a few letters as bars and a caret.
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
from plugin_images import Field, write

def draw(size):
    field = Field(size, (255, 255, 255, 255))
    x = field.bars((2, 3, 2))
    for yy in range(field.top + 2, field.bottom - 2):
        field.p[yy][x] = (0xC0, 0x20, 0x20, 255)  # the caret
    return field.p

write('scribe', draw)
