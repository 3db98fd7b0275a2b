#!/usr/bin/env python3
# Draws the program's icons from one description of their shapes, an eighth note over a
# keyboard strip on a blue tile in a 32-unit square: a scalable ui/icons/lumaroth.svg and
# ui/icons/lumaroth-N.png at every size the desktop asks for (antialiased by 4 x 4
# samples a pixel); the window's own icon, ui/lumaroth.png (32 pixels, embedded in the
# Linux program); and ui/lumaroth.ico for Windows (16, 32, 48 and 256 pixels, each a
# PNG, as Windows Vista and later read them). Run from the project folder.
import struct, zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
BLUE, LOWER_BLUE = (30, 70, 140), (60, 110, 190)
LIGHT, WHITE, BLACK = (173, 216, 230), (255, 255, 255), (20, 20, 20)
TILE_RADIUS = 3.0
FLAG = [(19, 4), (24, 7), (23.5, 8.5), (19, 6.5)]


# The black keys sit on the lines between white keys C-D, D-E, F-G, G-A and A-B.
def keyboard_black_keys():
    return [3 + 4 * (i + 1) for i in range(6) if i % 7 in (0, 1, 3, 4, 5)]


def inside_tile(x, y):
    r = TILE_RADIUS
    cx, cy = min(max(x, r), 32 - r), min(max(y, r), 32 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_polygon(x, y, points):
    inside = False
    for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


# The colour at a point of the 32-unit square, or None outside the tile.
def colour_at(x, y):
    if not inside_tile(x, y):
        return None
    colour = BLUE if y < 22 else LOWER_BLUE
    if 3 <= x < 29 and 23 <= y < 30:
        colour = WHITE
        if any(k <= x < k + 0.6 for k in range(3, 29, 4)):
            colour = BLACK
        if y < 27 and any(k - 1.2 <= x < k + 1.2 for k in keyboard_black_keys()):
            colour = BLACK
    if ((x - 14.5) / 3.6) ** 2 + ((y - 17.5) / 2.4) ** 2 <= 1:
        colour = LIGHT
    if 17 <= x < 19 and 4 <= y < 18:
        colour = LIGHT
    if inside_polygon(x, y, FLAG):
        colour = LIGHT
    return colour


def png(size):
    rows = []
    n = 4
    for py in range(size):
        row = bytearray(b'\x00')
        for px in range(size):
            total = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) * 32 / size, (py + (sy + 0.5) / n) * 32 / size)
                    if c is not None:
                        total = [total[0] + c[0], total[1] + c[1], total[2] + c[2], total[3] + 255]
            covered = total[3] // 255
            if covered == 0:
                row += bytes(4)
            else:
                row += bytes([total[0] // covered, total[1] // covered, total[2] // covered, total[3] // (n * n)])
        rows.append(bytes(row))

    def chunk(tag, data):
        return struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data) & 0xffffffff)

    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(b''.join(rows), 9)) + chunk(b'IEND', b''))


def hex_colour(c):
    return '#%02x%02x%02x' % c


def svg():
    keys_white = ''.join(f'<rect x="{k}" y="23" width="0.6" height="7" fill="{hex_colour(BLACK)}"/>'
                         for k in range(3, 29, 4))
    keys_black = ''.join(f'<rect x="{k - 1.2:g}" y="23" width="2.4" height="4" fill="{hex_colour(BLACK)}"/>'
                         for k in keyboard_black_keys())
    flag = ' '.join(f'{x},{y}' for x, y in FLAG)
    return f'''<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 32 32">
  <clipPath id="tile"><rect width="32" height="32" rx="{TILE_RADIUS}"/></clipPath>
  <g clip-path="url(#tile)">
    <rect width="32" height="22" fill="{hex_colour(BLUE)}"/>
    <rect y="22" width="32" height="10" fill="{hex_colour(LOWER_BLUE)}"/>
  </g>
  <rect x="3" y="23" width="26" height="7" fill="{hex_colour(WHITE)}"/>
  {keys_white}
  {keys_black}
  <ellipse cx="14.5" cy="17.5" rx="3.6" ry="2.4" fill="{hex_colour(LIGHT)}"/>
  <rect x="17" y="4" width="2" height="14" fill="{hex_colour(LIGHT)}"/>
  <polygon points="{flag}" fill="{hex_colour(LIGHT)}"/>
</svg>
'''


def ico(sizes):
    images = [png(size) for size in sizes]
    offset = 6 + 16 * len(sizes)
    entries = b''
    for size, image in zip(sizes, images):
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return struct.pack('<HHH', 0, 1, len(sizes)) + entries + b''.join(images)


for size in SIZES:
    open(f'ui/icons/lumaroth-{size}.png', 'wb').write(png(size))
open('ui/icons/lumaroth.svg', 'w').write(svg())
open('ui/lumaroth.png', 'wb').write(png(32))
open('ui/lumaroth.ico', 'wb').write(ico((16, 32, 48, 256)))
