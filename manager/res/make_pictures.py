#!/usr/bin/env python3
"""Writes the library manager's placeholder pictures as 24-bit BMP files.

Run from this folder: python3 make_pictures.py. The pictures only need the
right sizes; the button pictures carry their captions in a small block font,
because the program shows the captions only through them.
"""
import struct

# 3 x 5 glyphs, rows top to bottom, bit 2 is the left column.
GLYPHS = {
    'A': [2, 5, 7, 5, 5], 'C': [3, 4, 4, 4, 3], 'D': [6, 5, 5, 5, 6],
    'E': [7, 4, 6, 4, 7], 'F': [7, 4, 6, 4, 4], 'H': [5, 5, 7, 5, 5],
    'I': [7, 2, 2, 2, 7], 'L': [4, 4, 4, 4, 7], 'M': [5, 7, 7, 5, 5],
    'N': [6, 5, 5, 5, 5], 'O': [2, 5, 5, 5, 2], 'P': [6, 5, 6, 4, 4],
    'S': [3, 4, 2, 1, 6], 'T': [7, 2, 2, 2, 2], 'U': [5, 5, 5, 5, 7],
    'Y': [5, 5, 2, 2, 2], 'Z': [7, 1, 2, 4, 7], ':': [0, 2, 0, 2, 0],
    ' ': [0, 0, 0, 0, 0],
}


def write_bmp(path, width, height, pixel):
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):  # bottom-up rows
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        data += row
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + data)


def text_pixels(text, scale):
    """The set of lit (x, y) pixels of the text and its width and height."""
    lit = set()
    for i, ch in enumerate(text.upper()):
        rows = GLYPHS[ch]
        for gy, bits in enumerate(rows):
            for gx in range(3):
                if bits & (4 >> gx):
                    for sx in range(scale):
                        for sy in range(scale):
                            lit.add(((i * 4 + gx) * scale + sx, gy * scale + sy))
    return lit, (len(text) * 4 - 1) * scale, 5 * scale


def picture(path, width, height, fill, text='', ink=(0, 0, 0), frame=None):
    lit, tw, th = text_pixels(text, 2) if text else (set(), 0, 0)
    ox, oy = (width - tw) // 2, (height - th) // 2

    def pixel(x, y):
        if frame and (x in (0, width - 1) or y in (0, height - 1)):
            return frame
        if (x - ox, y - oy) in lit:
            return ink
        return fill
    write_bmp(path, width, height, pixel)


def disc(path, colour, mark=None):
    """A 16 x 16 round picture on white (white is the transparent colour)."""
    def pixel(x, y):
        d = (x - 7.5) ** 2 + (y - 7.5) ** 2
        if d <= 49:
            if mark and 6 <= x <= 9 and 6 <= y <= 9:
                return mark
            return colour
        return (255, 255, 255)
    write_bmp(path, 16, 16, pixel)


def box(path, width, height, colour):
    def pixel(x, y):
        inside = 1 <= x < width - 1 and 1 <= y < height - 1
        return colour if inside else (255, 255, 255)
    write_bmp(path, width, height, pixel)


GREY = (0xBF, 0xBF, 0xBF)
BUTTONS = [
    # (first id, width, caption)
    (3030, 110, 'Play Selected'),
    (3050, 83, 'Play all'),
    (3060, 129, 'Install Selected'),
]
STATES = {
    0: ((0xD8, 0xE4, 0xF4), None),         # enabled
    1: ((0xA8, 0xBC, 0xDC), None),         # pushed
    2: ((0xD8, 0xE4, 0xF4), None),         # base
    3: ((0xE8, 0xF0, 0xFF), (0, 0, 0x80)),  # hilited
    4: (GREY, None),                       # unhilited: greyed
}


def main():
    # The tree's pictures: folder, open folder, CD in drive, location,
    # wastebasket, CD not in drive.
    disc('1000.bmp', (0xE0, 0xC0, 0x40))
    disc('1001.bmp', (0xF0, 0xD8, 0x70))
    disc('1002.bmp', (0x60, 0xA0, 0xF0), mark=(255, 255, 255))
    box('1003.bmp', 16, 16, (0x40, 0x90, 0x40))
    box('1009.bmp', 16, 16, (0x80, 0x80, 0x80))
    disc('1012.bmp', (0xB0, 0xB0, 0xB0), mark=(255, 255, 255))
    # The film list's pictures, 41 x 16: play marks and film icons.
    box('1011.bmp', 41, 16, (0x60, 0x60, 0xC0))
    box('1004.bmp', 41, 16, (0x40, 0x40, 0x40))
    box('1006.bmp', 41, 16, (0x20, 0xA0, 0x20))
    box('1005.bmp', 41, 16, (0xD0, 0xD0, 0xD0))
    for n, colour in zip(range(1052, 1057), [(0xC0, 0x40, 0x40), (0x40, 0x40, 0xC0),
                                              (0xC0, 0x80, 0x20), (0x80, 0x20, 0x80),
                                              (0x20, 0x80, 0x80)]):
        box('%d.bmp' % n, 41, 16, colour)
    # The splitter's drag pattern and column headers.
    write_bmp('1008.bmp', 8, 8, lambda x, y: (255, 255, 255) if (x + y) % 2 == 0 else (0xC0, 0xC0, 0xC0))
    picture('1057.bmp', 80, 16, GREY, frame=(0x80, 0x80, 0x80))
    # Push buttons.
    for first, width, caption in BUTTONS:
        for offset, (fill, frame) in STATES.items():
            if first == 3050 and offset in (3, 4):
                continue  # the Play all button's hilited and unhilited do not ship
            picture('%d.bmp' % (first + offset), width, 32, fill, caption, frame=frame)
    # Shuffle: on 3018, on-pushed 3019, off 3020, off-pushed 3021,
    # on-hilited 3022, off-hilited 3023.
    for n, (caption, fill, frame) in {
            3018: ('Shuffle On', (0xD8, 0xF4, 0xD8), None),
            3019: ('Shuffle On', (0xA8, 0xDC, 0xA8), None),
            3020: ('Shuffle Off', (0xE8, 0xE8, 0xE8), None),
            3021: ('Shuffle Off', (0xC8, 0xC8, 0xC8), None),
            3022: ('Shuffle On', (0xE8, 0xFF, 0xE8), (0, 0x60, 0)),
            3023: ('Shuffle Off', (0xF4, 0xF4, 0xF4), (0, 0x60, 0))}.items():
        picture('%d.bmp' % n, 109, 32, fill, caption, frame=frame)
    # Mute: on 3040, on-pushed 3041, off 3042, off-pushed 3043,
    # on-hilited 3045, off-hilited 3046.
    for n, (caption, fill, frame) in {
            3040: ('Mute On', (0xF4, 0xD8, 0xD8), None),
            3041: ('Mute On', (0xDC, 0xA8, 0xA8), None),
            3042: ('Mute Off', (0xE8, 0xE8, 0xE8), None),
            3043: ('Mute Off', (0xC8, 0xC8, 0xC8), None),
            3045: ('Mute On', (0xFF, 0xE8, 0xE8), (0x60, 0, 0)),
            3046: ('Mute Off', (0xF4, 0xF4, 0xF4), (0x60, 0, 0))}.items():
        picture('%d.bmp' % n, 81, 32, fill, caption, frame=frame)
    picture('3065.bmp', 75, 32, GREY, 'Film Size:')


if __name__ == '__main__':
    main()
