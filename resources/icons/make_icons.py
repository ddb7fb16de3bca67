#!/usr/bin/env python3
"""Draws the program's own icons and writes them as .ico files.

This script is their source: each icon is a handful of vector shapes in a
32-unit square, rendered at 16x16 and 32x32 with 8x8 supersampling and
written as one icon group of 32-bit images with alpha. Run it after changing
a drawing:  python3 resources/icons/make_icons.py
The .ico files it writes are kept in the repository, so building needs no Python.

  Z_INSTALL  a generic application: a program window with a blue title bar
             and a green "installed" tick.
  Z_RUBBISH  a bad entry: a grey waste bin with a red cross.
"""
import math
import os
import struct

SS = 8  # samples per pixel along each axis


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (ax, ay), (bx, by) = points[i], points[(i + 1) % n]
            if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
                hit = not hit
        return hit
    return inside


def thick_line(ax, ay, bx, by, width):
    def inside(x, y):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2
    return inside


def polyline(points, width):
    parts = [thick_line(*points[i], *points[i + 1], width) for i in range(len(points) - 1)]
    return lambda x, y: any(p(x, y) for p in parts)


# Each drawing: (shape, RGBA colour) painted in order over transparency.
INSTALL = [
    (rounded_rect(2, 4, 28, 27, 2.5), (40, 60, 90, 255)),          # outline
    (rounded_rect(3.2, 5.2, 26.8, 25.8, 1.5), (245, 247, 250, 255)),  # window body
    (rounded_rect(3.2, 5.2, 26.8, 10, 1.5), (52, 120, 210, 255)),  # title bar
    (rounded_rect(5, 13, 16, 15, 0.8), (160, 170, 185, 255)),      # text lines
    (rounded_rect(5, 17.5, 13, 19.5, 0.8), (160, 170, 185, 255)),
    (lambda x, y: (x - 23) ** 2 + (y - 23) ** 2 <= 8.2 ** 2, (255, 255, 255, 255)),  # badge ring
    (lambda x, y: (x - 23) ** 2 + (y - 23) ** 2 <= 7 ** 2, (46, 160, 67, 255)),      # badge
    (polyline([(19.3, 23.2), (22, 26), (27, 19.8)], 2.4), (255, 255, 255, 255)),    # tick
]

RUBBISH = [
    (polygon([(6.5, 9), (25.5, 9), (23.5, 29), (8.5, 29)]), (70, 75, 85, 255)),      # bin outline
    (polygon([(8, 10.2), (24, 10.2), (22.3, 27.8), (9.7, 27.8)]), (150, 156, 166, 255)),  # bin body
    (thick_line(12.5, 13, 13, 25.5, 1.4), (110, 116, 126, 255)),                    # ribs
    (thick_line(16, 13, 16, 25.5, 1.4), (110, 116, 126, 255)),
    (thick_line(19.5, 13, 19, 25.5, 1.4), (110, 116, 126, 255)),
    (rounded_rect(4, 5.5, 28, 8.8, 1.2), (70, 75, 85, 255)),        # lid
    (rounded_rect(12.5, 3, 19.5, 6, 1), (70, 75, 85, 255)),         # handle
    (thick_line(17, 15, 29, 27, 3.2), (255, 255, 255, 255)),        # cross, white edge
    (thick_line(29, 15, 17, 27, 3.2), (255, 255, 255, 255)),
    (thick_line(17.6, 15.6, 28.4, 26.4, 2.2), (215, 40, 40, 255)),  # cross
    (thick_line(28.4, 15.6, 17.6, 26.4, 2.2), (215, 40, 40, 255)),
]


def render(drawing, size, units=32, samples=SS):
    """The drawing (shapes in a square of that many units, each with a colour
    or a function of the point giving one; alpha 0 cuts out what is below)
    as rows of straight-alpha RGBA pixels."""
    scale = float(units) / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(samples):
                for sx in range(samples):
                    x = (px + (sx + 0.5) / samples) * scale
                    y = (py + (sy + 0.5) / samples) * scale
                    r = g = b = a = 0.0
                    for shape, paint in drawing:
                        if shape(x, y):
                            cr, cg, cb, ca = paint(x, y) if callable(paint) else paint
                            if ca == 0:
                                r = g = b = a = 0.0
                                continue
                            alpha = ca / 255.0
                            r = cr * alpha + r * (1 - alpha)
                            g = cg * alpha + g * (1 - alpha)
                            b = cb * alpha + b * (1 - alpha)
                            a = alpha + a * (1 - alpha)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            n = samples * samples
            a = acc[3] / n
            if a <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(min(255, int(round(c / n / a))) for c in acc[:3]) + (int(round(a * 255)),))
        pixels.append(row)
    return pixels


def icon_image(pixels):
    size = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_icon_file(path, pictures):
    """One icon group of the pictures (lists of pixel rows), largest first."""
    images = [icon_image(pixels) for pixels in pictures]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for pixels, data in zip(pictures, images):
        size = len(pixels)
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


def write_ico(path, drawing):
    write_icon_file(path, [render(drawing, size) for size in (32, 16)])


if __name__ == '__main__':
    here = os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(here, 'Z_INSTALL.ico'), INSTALL)
    write_ico(os.path.join(here, 'Z_RUBBISH.ico'), RUBBISH)
