#!/usr/bin/python3
# Writes the preview pane's background pictures as 8-bit RLE8 bitmaps
# (800 x 1600): the program's own (a night-sea gradient, ../../res/preview.bmp)
# and the tests' (columns and rows marked, background.bmp).
# Usage: make_backgrounds.py
import os
import struct

WIDTH, HEIGHT = 800, 1600
HERE = os.path.dirname(os.path.abspath(__file__))


def rle8(row_runs):
    out = bytearray()
    for y in range(HEIGHT - 1, -1, -1):  # bottom-up
        total = 0
        for count, index in row_runs(y):
            total += count
            while count > 0:
                n = min(count, 255)
                out += bytes([n, index])
                count -= n
        assert total == WIDTH
        out += b'\x00\x00'
    out[-2:] = b'\x00\x01'  # the last end of line becomes the end of the picture
    return bytes(out)


def write(path, palette, row_runs):
    data = rle8(row_runs)
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT, 1, 8, 1, len(data), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(pal)
    head = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(head + info + pal + data)


# The program's: from navy at the top to deep teal at the bottom.
STEPS = 64
sea = [(10 + 10 * i // STEPS, 20 + 70 * i // STEPS, 48 + 62 * i // STEPS) for i in range(STEPS)]
write(os.path.join(HERE, '..', '..', 'res', 'preview.bmp'), sea,
      lambda y: [(WIDTH, y * STEPS // HEIGHT)])

# The tests': rows 0 and 1 magenta; below them columns 0-3 red, 4-399
# green, 400-795 blue, 796-799 yellow. A strip copied from the wrong
# place shows the wrong colour.
marks = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 0, 255)]
write(os.path.join(HERE, 'background.bmp'), marks,
      lambda y: [(WIDTH, 5)] if y < 2 else [(4, 1), (396, 2), (396, 3), (4, 4)])
