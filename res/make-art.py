#!/usr/bin/env python3
"""Draws the program icon (Quillery.ico) and the default item picture at
40 x 40 (default-item.bmp). Run from this folder; the outputs are committed.
The list draws its expand arrows, and the default picture at other sizes,
itself."""
import math
import struct

def clamp(v):
    return max(0, min(255, int(round(v))))

def sample(w, h, shader, ss=4):
    """Supersampled RGBA rows, top-down; shader(u, v) -> (r, g, b, a) in 0..1 units."""
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    u = (x + (sx + 0.5) / ss) / w
                    v = (y + (sy + 0.5) / ss) / h
                    r, g, b, a = shader(u, v)
                    acc[0] += r * a; acc[1] += g * a; acc[2] += b * a; acc[3] += a
            n = ss * ss
            a = acc[3] / n
            if a > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows

def rounded_inside(u, v, r):
    dx = max(r - u, 0, u - (1 - r))
    dy = max(r - v, 0, v - (1 - r))
    return dx * dx + dy * dy <= r * r

def over(top, bottom):
    r, g, b, a = top
    R, G, B, A = bottom
    oa = a + A * (1 - a)
    if oa == 0:
        return (0, 0, 0, 0)
    return ((r * a + R * A * (1 - a)) / oa, (g * a + G * A * (1 - a)) / oa, (b * a + B * A * (1 - a)) / oa, oa)

def feather(u, v):
    """A white quill across the tile, nib at the bottom left."""
    # Coordinates along (s) and across (t) the quill's axis.
    cx, cy = 0.53, 0.45
    ang = math.radians(46)
    dx, dy = u - cx, v - cy
    s = dx * math.cos(ang) - dy * math.sin(ang)
    t = dx * math.sin(ang) + dy * math.cos(ang)
    colour = None
    # Vane: a leaf-shaped area, wider towards the top.
    if -0.30 <= s <= 0.36:
        k = (s + 0.30) / 0.66
        half = 0.15 * math.sin(math.pi * k) ** 0.8 * (0.55 + 0.45 * k)
        if abs(t) <= half:
            colour = (1.0, 1.0, 1.0, 1.0)
            # Barbs: faint diagonal lines.
            if (s * 30 + abs(t) * 42) % 1.0 < 0.16 and abs(t) > 0.02:
                colour = (0.86, 0.93, 0.82, 1.0)
    # Shaft, running on to the nib.
    if -0.42 <= s <= 0.34 and abs(t) <= 0.014:
        colour = (0.80, 0.90, 0.74, 1.0)
    if -0.47 <= s < -0.30 and abs(t) <= 0.022 * (s + 0.47) / 0.17 + 0.004:
        colour = (1.0, 1.0, 1.0, 1.0)
    return colour

def icon_shader(u, v):
    if not rounded_inside(u, v, 0.22):
        return (0, 0, 0, 0)
    top = (92 / 255, 168 / 255, 48 / 255)
    bottom = (46 / 255, 104 / 255, 18 / 255)
    k = v
    base = tuple(top[i] * (1 - k) + bottom[i] * k for i in range(3)) + (1.0,)
    f = feather(u, v)
    return f if f else base

def item_shader(u, v):
    """The default item picture: a window with a title bar on a light tile."""
    bg = (0.93, 0.95, 0.97, 1.0)
    if not rounded_inside(u, v, 0.16):
        return bg if False else (1.0, 1.0, 1.0, 1.0)
    tile = (0.86 - 0.10 * v, 0.91 - 0.08 * v, 0.96 - 0.05 * v, 1.0)
    x0, x1, y0, y1 = 0.20, 0.80, 0.24, 0.76
    if x0 <= u <= x1 and y0 <= v <= y1:
        edge = min(u - x0, x1 - u, v - y0, y1 - v)
        if edge < 0.035:
            return (0.33, 0.45, 0.60, 1.0)
        if v < y0 + 0.14:
            return (0.45, 0.62, 0.82, 1.0)
        if 0.29 <= u <= 0.52 and 0.46 <= v <= 0.50 or 0.29 <= u <= 0.70 and 0.56 <= v <= 0.60 \
                or 0.29 <= u <= 0.62 and 0.66 <= v <= 0.70:
            return (0.70, 0.78, 0.86, 1.0)
        return (1.0, 1.0, 1.0, 1.0)
    return tile

def bgra_rows(rows):
    out = []
    for row in rows:
        out.append(bytes(b for (r, g, b_, a) in row for b in (clamp(b_ * 255), clamp(g * 255), clamp(r * 255), clamp(a * 255))))
    return out

def ico_image(size):
    rows = sample(size, size, icon_shader)
    bgra = bgra_rows(rows)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(reversed(bgra))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, px in enumerate(row):
            if px[3] < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)

def write_ico(path, sizes):
    images = [ico_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b''.join(images)
    open(path, 'wb').write(out)

def write_item_bmp(path):
    size = 40
    rows = sample(size, size, item_shader)
    stride = size * 3
    pixels = b''.join(bytes(b for (r, g, b_, a) in row for b in (clamp(b_ * 255), clamp(g * 255), clamp(r * 255)))
                      for row in reversed(rows))
    assert len(pixels) == stride * size
    # Two bytes of padding after the pixels make the file 4,856 bytes long.
    total = 14 + 40 + len(pixels) + 2
    out = struct.pack('<2sIHHI', b'BM', total, 0, 0, 54)
    out += struct.pack('<IiiHHIIiiII', 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    out += pixels + b'\0\0'
    assert len(out) == 4856
    open(path, 'wb').write(out)

if __name__ == '__main__':
    write_ico('Quillery.ico', [16, 24, 32, 48, 64])
    write_item_bmp('default-item.bmp')
