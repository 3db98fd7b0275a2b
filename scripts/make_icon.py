#!/usr/bin/env python3
# Draws the program icon, ui/lumaroth.png, from scratch (run from the project folder).
# A 32x32, 16-colour icon: an eighth note over a keyboard strip on a blue tile.
import struct, zlib
W = H = 32
palette = [(0,0,0,0),(30,70,140,255),(173,216,230,255),(255,255,255,255),(20,20,20,255),(60,110,190,255)]
px = [[0]*W for _ in range(H)]
for y in range(H):
    for x in range(W):
        # rounded tile
        cx = min(x, W-1-x); cy = min(y, H-1-y)
        if cx + cy < 3 and not (cx >= 2 or cy >= 2) and cx+cy<2: continue
        if (cx == 0 and cy < 2) or (cy == 0 and cx < 2): continue
        px[y][x] = 1 if y < 22 else 5
# keyboard strip rows 23..29
for y in range(23, 30):
    for x in range(3, 29):
        px[y][x] = 3
    for x in range(3, 29, 4):
        px[y][x] = 4
for y in range(23, 27):
    for k in range(3, 28, 4):
        if (k//4) % 7 in (2, 6): continue
        for x in (k+2, k+3):
            if x < 29: px[y][x] = 4
# eighth note: head at (12..17, 15..19), stem x=17..18 from y=4..17, flag
for y in range(15, 20):
    for x in range(11, 18):
        if ((x-14.5)/3.6)**2 + ((y-17)/2.4)**2 <= 1: px[y][x] = 2
for y in range(4, 18):
    for x in (17, 18): px[y][x] = 2
for i, y in enumerate(range(4, 12)):
    for x in range(19, 19 + max(1, 5 - abs(i-3))): 
        if x < 29: px[y][x] = 2
raw = b''.join(b'\x00' + bytes(row) for row in px)
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t+d) & 0xffffffff)
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 3, 0, 0, 0))
png += chunk(b'PLTE', b''.join(bytes(c[:3]) for c in palette))
png += chunk(b'tRNS', bytes(c[3] for c in palette))
png += chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b'')
open('ui/lumaroth.png', 'wb').write(png)

# The same image as a Windows icon: one 32x32 entry, 4 bits a pixel (16 colours) with
# its AND mask, rows bottom-up.
colours = palette + [(0, 0, 0, 255)] * (16 - len(palette))
xor = b''.join(bytes((px[y][x] << 4) | px[y][x + 1] for x in range(0, W, 2)) for y in reversed(range(H)))
mask = b''.join(
    bytes(sum((1 << (7 - b)) for b in range(8) if palette[px[y][x + b]][3] == 0) for x in range(0, W, 8))
    for y in reversed(range(H)))
header = struct.pack('<IiiHHIIiiII', 40, W, H * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
table = b''.join(bytes((c[2], c[1], c[0], 0)) for c in colours)
image = header + table + xor + mask
ico = struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', W, H, 16, 0, 1, 4, len(image), 22) + image
open('ui/lumaroth.ico', 'wb').write(ico)
