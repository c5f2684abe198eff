#!/usr/bin/env python3
# Draws the calculation box's palette (24 px) and toolbar (16 px) images: a
# grey read-only field with a frame and an equals sign before a figure.
import os, sys
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))
from plugin_images import Field, write

def draw(size):
    field = Field(size, (0xEE, 0xEE, 0xEE, 255))
    p, mid, unit, ink = field.p, field.mid, field.unit, (0x20, 0x60, 0x20, 255)
    for yy in (mid - unit - 1, mid + unit):  # "="
        for xx in range(3, 3 + 3 * unit):
            p[yy][xx] = ink
    x0 = size - 3 - 3 * unit  # a figure at the right, where the value stands
    for yy in range(field.top + 2, field.bottom - 2):
        for xx in range(x0, x0 + unit + 1):
            p[yy][xx] = ink
    return p

write('calc', draw)
