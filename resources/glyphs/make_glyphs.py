#!/usr/bin/env python3
"""Draws the program's button pictures and writes them as 32-bit BMP files
with a straight (not premultiplied) alpha channel, as the image buttons blend
them.

This script is their source: every picture is a list of vector shapes in a
48-unit square (toolbar pictures and the logo at 48x48, dialog button
pictures at 24x24, header symbols at 32x32 and 20x20), rendered with 4x4 supersampling.
One style throughout: a soft drop shadow, a body with a top-to-bottom
gradient and a darker rim, white or dark details on top.
Run it after changing a drawing:  python3 resources/glyphs/make_glyphs.py
The .bmp files it writes are kept in the repository, so building needs no
Python.
"""
import math
import os
import struct
import sys

# The shapes the icons are drawn with: rounded_rect, polygon, thick_line, polyline.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'icons'))
import make_icons  # noqa: E402
from make_icons import polygon, polyline, rounded_rect, thick_line as line, write_icon_file  # noqa: E402

SS = 4  # samples per pixel along each axis


# ---- shapes: functions (x, y) -> bool in 48-unit coordinates

def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def arc(cx, cy, r, width, start, end):
    """A ring segment from angle start to end (degrees, clockwise from 3 o'clock)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2:
            return False
        a = math.degrees(math.atan2(y - cy, x - cx)) % 360
        s, e = start % 360, end % 360
        return s <= a <= e if s <= e else (a >= s or a <= e)
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


# ---- paints: functions (x, y) -> (r, g, b, a)

def solid(r, g, b, a=255):
    return lambda x, y: (r, g, b, a)


def vertical(top, bottom, y0=4, y1=44):
    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(int(round(a + (b - a) * t)) for a, b in zip(top, bottom))
    return paint


SHADOW = solid(0, 0, 0, 60)
WHITE = solid(255, 255, 255)


def body(shape, light, dark, rim):
    """The house style: shadow, rim, gradient body."""
    return [
        (moved(shape, 1.2, 1.8), SHADOW),
        (shape, solid(*rim)),
        (inset(shape), vertical(light + (255,), dark + (255,))),
    ]


def inset(shape, by=1.4):
    # A shape shrunk by testing that the points around are inside too.
    offsets = [(by, 0), (-by, 0), (0, by), (0, -by), (by * .7, by * .7), (-by * .7, by * .7),
               (by * .7, -by * .7), (-by * .7, -by * .7)]
    return lambda x, y: shape(x, y) and all(shape(x + dx, y + dy) for dx, dy in offsets)


BLUE = ((110, 170, 245), (30, 90, 190), (20, 60, 130, 255))
GREEN = ((120, 215, 120), (35, 140, 55), (25, 95, 40, 255))
RED = ((250, 120, 110), (195, 35, 35), (130, 25, 25, 255))
ORANGE = ((255, 205, 110), (225, 130, 20), (150, 85, 15, 255))
GREY = ((245, 247, 250), (200, 206, 214), (95, 104, 118, 255))
TEAL = ((100, 215, 215), (20, 130, 150), (15, 85, 100, 255))
PURPLE = ((175, 150, 245), (95, 65, 190), (60, 40, 130, 255))


def styled(shape, colours):
    light, dark, rim = colours
    return body(shape, light, dark, rim)


# ---- the pictures

def autofix():
    head = union(circle(15, 15, 9), line(15, 15, 36, 36, 7))
    jaw = polygon([(8, 5), (14, 11), (11, 15), (5, 9)])
    wrench = minus(head, union(jaw, circle(8.5, 8.5, 4.2)))
    tick = polyline([(27, 37), (32, 42), (43, 29)], 4.2)
    return styled(wrench, GREY) + [(moved(tick, 0.8, 1.2), SHADOW), (polyline([(27, 37), (32, 42), (43, 29)], 5.8), solid(255, 255, 255)), (tick, solid(40, 160, 60))]


def app_info():
    disc = circle(24, 24, 19)
    return styled(disc, BLUE) + [
        (circle(24, 14.5, 3), WHITE),
        (rounded_rect(21.2, 20, 26.8, 35, 1.2), WHITE),
        (rounded_rect(18.5, 33, 29.5, 36, 1), WHITE),
        (rounded_rect(18.5, 20, 26.8, 22.5, 1), WHITE),
    ]


def magnifier(scale=1.0):
    s = scale
    ring = minus(circle(20 * s, 20 * s, 14 * s), circle(20 * s, 20 * s, 9.5 * s))
    handle = line(30 * s, 30 * s, 42 * s, 42 * s, 7 * s)
    return [
        (moved(union(ring, handle), 1.2, 1.8), SHADOW),
        (handle, vertical((120, 80, 40, 255), (70, 40, 15, 255))),
        (circle(20 * s, 20 * s, 9.5 * s), solid(200, 230, 255, 150)),
        (circle(17 * s, 16 * s, 3.5 * s), solid(255, 255, 255, 170)),
    ] + styled(ring, GREY)[1:]


def refresh():
    top = arc(24, 24, 14, 6.5, 200, 340)
    bottom = arc(24, 24, 14, 6.5, 20, 160)
    head1 = polygon([(34, 10), (44, 22), (30, 22)])
    head2 = polygon([(14, 38), (4, 26), (18, 26)])
    shape = union(top, bottom, head1, head2)
    return styled(shape, GREEN)


def help_():
    disc = circle(24, 24, 19)
    hook = arc(24, 19, 6.5, 4.5, 180, 90)
    return styled(disc, PURPLE) + [
        (hook, WHITE),
        (line(24, 25.5, 24, 29, 4.5), WHITE),
        (circle(24, 35, 2.8), WHITE),
    ]


def home():
    roof = polygon([(24, 5), (45, 24), (39, 24), (24, 11), (9, 24), (3, 24)])
    house = polygon([(10, 22), (24, 10), (38, 22), (38, 43), (10, 43)])
    door = rounded_rect(20, 29, 28, 43, 1.5)
    window = rounded_rect(30, 25, 35, 30, 0.8)
    return styled(house, ORANGE) + [(door, solid(120, 70, 25)), (window, solid(230, 245, 255))] + styled(roof, RED)


def exit_():
    ring = arc(24, 26, 15, 6, 300, 240)
    bar = line(24, 6, 24, 24, 6)
    return styled(union(ring, bar), RED)


def document(extra):
    page = polygon([(10, 4), (30, 4), (39, 13), (39, 44), (10, 44)])
    fold = polygon([(30, 4), (39, 13), (30, 13)])
    lines = [(rounded_rect(15, y, 33, y + 2.2, 1), solid(150, 165, 185)) for y in (18, 24, 30)]
    return styled(page, GREY) + [(fold, solid(190, 198, 210))] + lines + extra


def new():
    plus = union(rounded_rect(31, 25, 37, 45, 1.5), rounded_rect(24, 32, 44, 38, 1.5))
    return document(styled(plus, GREEN))


def properties():
    return document([(rounded_rect(15, 36, 27, 38.2, 1), solid(150, 165, 185))] + styled(circle(35, 36, 8), BLUE) +
                    [(rounded_rect(33.6, 34, 36.4, 41.5, 0.8), WHITE), (circle(35, 30.8, 1.6), WHITE)])


def apply_():
    tile = rounded_rect(5, 5, 43, 43, 9)
    tick = polyline([(14, 24), (21, 32), (35, 15)], 6)
    return styled(tile, GREEN) + [(moved(tick, 0.6, 1.0), solid(0, 60, 0, 90)), (tick, WHITE)]


def tick_mark():
    tick = polyline([(8, 25), (19, 37), (40, 11)], 9)
    return styled(tick, GREEN)


def yes():
    return styled(circle(24, 24, 20), GREEN) + [(polyline([(13, 24), (21, 32), (35, 16)], 6.5), WHITE)]


def no():
    return styled(circle(24, 24, 20), RED) + [
        (line(16, 16, 32, 32, 6.5), WHITE), (line(32, 16, 16, 32, 6.5), WHITE)]


def cancel():
    return styled(union(line(10, 10, 38, 38, 10), line(38, 10, 10, 38, 10)), RED)


def save():
    disk = rounded_rect(5, 5, 43, 43, 4)
    return styled(disk, BLUE) + [
        (rounded_rect(12, 6, 36, 20, 1.5), solid(235, 240, 248)),
        (rounded_rect(28, 8, 33, 18, 1), solid(60, 80, 120)),
        (rounded_rect(11, 27, 37, 43, 2), solid(245, 245, 245)),
        (rounded_rect(15, 32, 33, 34, 1), solid(170, 180, 195)),
        (rounded_rect(15, 37, 33, 39, 1), solid(170, 180, 195)),
    ]


def close():
    door = rounded_rect(9, 4, 31, 44, 2.5)
    arrow = union(line(24, 24, 40, 24, 6), polygon([(36, 15), (47, 24), (36, 33)]))
    return styled(door, ORANGE) + [(circle(26, 25, 2.2), solid(90, 50, 10))] + styled(arrow, RED)


def browse():
    back = polygon([(4, 10), (18, 10), (22, 15), (44, 15), (44, 42), (4, 42)])
    front = polygon([(9, 21), (47, 21), (42, 42), (4, 42)])
    return styled(back, ORANGE) + styled(front, ((255, 225, 140), (240, 170, 50), (150, 95, 20, 255)))


def uninstall():
    box = rounded_rect(4, 16, 34, 44, 3)
    band = rounded_rect(4, 24, 34, 28, 1)
    return styled(box, ORANGE) + [(band, solid(150, 95, 20))] + styled(circle(34, 14, 11), RED) + [
        (rounded_rect(27, 12, 41, 16.5, 1.5), WHITE)]


def clear():
    bin_ = polygon([(11, 14), (37, 14), (34, 45), (14, 45)])
    lid = union(rounded_rect(7, 8, 41, 13, 2), rounded_rect(19, 4, 29, 9, 2))
    ribs = [(rounded_rect(x, 19, x + 2.4, 40, 1), solid(90, 100, 115)) for x in (17, 23, 29)]
    return styled(bin_, GREY) + ribs + styled(lid, GREY)


def logo():
    tile = rounded_rect(3, 3, 45, 45, 10)
    vane = polygon([(11, 30), (30, 30), (30, 25), (40, 32.5), (30, 40), (30, 35), (11, 35)])
    tail = polygon([(8, 24), (18, 24), (14, 32.5), (18, 41), (8, 41), (12, 32.5)])
    mast = line(24, 9, 24, 27, 2.6)
    sparkle = polygon([(24, 5), (26, 11), (32, 13), (26, 15), (24, 21), (22, 15), (16, 13), (22, 11)])
    return styled(tile, TEAL) + [
        (moved(union(vane, tail, mast), 0.8, 1.2), solid(0, 50, 60, 90)),
        (mast, solid(230, 250, 250)),
        (vane, WHITE), (tail, solid(230, 250, 250)),
        (sparkle, solid(255, 245, 170)),
    ]


# Header symbols for a machine without the symbol font: white on the
# header's highlight box.
def hourglass():
    glass = polygon([(14, 6), (34, 6), (34, 10), (26.5, 24), (34, 38), (34, 42), (14, 42), (14, 38), (21.5, 24),
                     (14, 10)])
    sand = union(polygon([(17, 12), (31, 12), (24, 22)]), polygon([(24, 30), (31, 40), (17, 40)]))
    return [(glass, WHITE), (minus(inset(glass, 1.8), sand), solid(255, 255, 255, 0)),
            (inset(glass, 1.8), solid(150, 190, 240, 110)), (sand, WHITE),
            (rounded_rect(10, 3, 38, 7, 1.5), WHITE), (rounded_rect(10, 41, 38, 45, 1.5), WHITE)]


def hand():
    fingers = union(*[rounded_rect(x, top, x + 5.4, 30, 2.7) for x, top in
                      ((13, 10), (19, 5), (25, 6), (31, 11))])
    palm = rounded_rect(13, 22, 36.4, 43, 6)
    thumb = polyline([(14, 32), (8, 24), (6, 21)], 5.6)
    return [(union(fingers, palm, thumb), WHITE)]


def computer():
    screen = rounded_rect(5, 6, 43, 34, 2.5)
    return [(screen, WHITE), (rounded_rect(9, 10, 39, 30, 1), solid(255, 255, 255, 90)),
            (polygon([(19, 34), (29, 34), (31, 40), (17, 40)]), WHITE),
            (rounded_rect(12, 40, 36, 44, 1.5), WHITE)]


TOOLBAR = {
    'GLYPH_AUTOFIX': autofix, 'GLYPH_APPINFO': app_info, 'GLYPH_SEARCH': magnifier, 'GLYPH_REFRESH': refresh,
    'GLYPH_HELP': help_, 'GLYPH_HOME': home, 'GLYPH_EXIT': exit_, 'GLYPH_NEW': new,
    'GLYPH_PROPERTIES': properties, 'GLYPH_APPLY': apply_,
}
BUTTONS = {
    'BUTTON_OK': tick_mark, 'BUTTON_YES': yes, 'BUTTON_NO': no, 'BUTTON_CANCEL': cancel,
    'BUTTON_SEARCH': magnifier, 'BUTTON_SAVE': save, 'BUTTON_CLOSE': close, 'BUTTON_BROWSE': browse,
    'BUTTON_UNINSTALL': uninstall, 'BUTTON_CLEAR': clear,
}
SYMBOLS = {'SYMBOL_HOURGLASS': hourglass, 'SYMBOL_HAND': hand, 'SYMBOL_COMPUTER': computer}


def render(drawing, size):
    return make_icons.render(drawing, size, units=48, samples=SS)


def write_bmp(path, pixels):
    size = len(pixels)
    data = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    info = struct.pack('<IiiHHIIiiII', 40, size, size, 1, 32, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(header + info + data)


def write_program_icon(path):
    """The program's own icon: the logo at 48, 32 and 16 pixels."""
    write_icon_file(path, [render(logo(), size) for size in (48, 32, 16)])


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_program_icon(os.path.join(here, '..', 'icons', 'CLEARVANE.ico'))
    small = {name + '_SMALL': draw for name, draw in SYMBOLS.items()}
    for table, size in ((TOOLBAR, 48), (BUTTONS, 24), ({'LOGO': logo}, 48), (SYMBOLS, 32), (small, 20)):
        for name, draw in table.items():
            write_bmp(os.path.join(here, name + '.bmp'), render(draw(), size))
            print(name, size)
