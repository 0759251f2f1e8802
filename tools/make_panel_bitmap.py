#!/usr/bin/env python3
"""Draws the wizard pages' side-panel picture, bitmap resource 105.

150 by 208 pixels, 16 colours (the standard VGA palette), 4 bits a pixel:
a dithered evening-blue gradient with an abstract network of linked nodes,
the lower ones fading out.  Run it to regenerate src/res/panel.bmp:

    python3 tools/make_panel_bitmap.py src/res/panel.bmp
"""
import struct
import sys

W, H = 150, 208

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, BLUE, CYAN, WHITE, YELLOW = 0, 4, 6, 7, 8, 12, 14, 15, 11

BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def gradient(pixels):
    # Navy at the top to blue, then blue to teal at the bottom.
    stops = [(0.0, NAVY), (0.55, BLUE), (1.0, TEAL)]
    for y in range(H):
        t = y / (H - 1)
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t0 <= t <= t1:
                f = (t - t0) / (t1 - t0)
                break
        for x in range(W):
            pixels[y][x] = c1 if f * 16 > BAYER[y % 4][x % 4] else c0


def line(pixels, a, b, colour, every=1):
    (x0, y0), (x1, y1) = a, b
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err, step = dx + dy, 0
    while True:
        if 0 <= x0 < W and 0 <= y0 < H and step % every == 0:
            pixels[y0][x0] = colour
        step += 1
        if (x0, y0) == (x1, y1):
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


def disc(pixels, centre, radius, fill, rim):
    cx, cy = centre
    for y in range(cy - radius - 1, cy + radius + 2):
        for x in range(cx - radius - 1, cx + radius + 2):
            if not (0 <= x < W and 0 <= y < H):
                continue
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if d2 <= (radius - 1) ** 2:
                pixels[y][x] = fill
            elif d2 <= (radius + 0.5) ** 2:
                pixels[y][x] = rim


def ring(pixels, centre, radius, colour, every=1):
    cx, cy = centre
    n = 0
    for y in range(H):
        for x in range(W):
            d2 = (x - cx) ** 2 + (y - cy) ** 2
            if (radius - 0.5) ** 2 <= d2 <= (radius + 0.5) ** 2:
                n += 1
                if n % every == 0:
                    pixels[y][x] = colour


def draw():
    pixels = [[0] * W for _ in range(H)]
    gradient(pixels)
    # A faint ring around the hub, like a network's reach.
    ring(pixels, (75, 70), 52, GREY, every=2)
    ring(pixels, (75, 70), 30, SILVER, every=3)
    hub = (75, 70)
    nodes = [(30, 28), (122, 34), (20, 98), (128, 104), (58, 132), (104, 150)]
    faded = [(34, 178), (88, 190), (130, 182)]
    links = [(hub, n) for n in nodes] + [
        (nodes[0], nodes[2]), (nodes[1], nodes[3]), (nodes[4], nodes[5]), (nodes[2], nodes[4])]
    for a, b in links:
        line(pixels, a, b, SILVER)
    # The lower links are dotted: what is being taken away.
    for a, b in [(nodes[4], faded[0]), (nodes[5], faded[1]), (nodes[5], faded[2])]:
        line(pixels, a, b, GREY, every=3)
    for n in nodes:
        disc(pixels, n, 6, CYAN, WHITE)
    for n in faded:
        disc(pixels, n, 5, TEAL, GREY)
    disc(pixels, hub, 10, WHITE, SILVER)
    disc(pixels, hub, 5, YELLOW, WHITE)
    # A thin dark edge on the right sets the panel off from the page.
    for y in range(H):
        pixels[y][W - 1] = BLACK
    return pixels


def write_bmp(path, pixels):
    row_bytes = (W * 4 + 31) // 32 * 4
    image = bytearray()
    for y in range(H - 1, -1, -1):  # bottom-up
        row = bytearray()
        for x in range(0, W, 2):
            hi = pixels[y][x]
            lo = pixels[y][x + 1] if x + 1 < W else 0
            row.append(hi << 4 | lo)
        row.extend(b"\0" * (row_bytes - len(row)))
        image.extend(row)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(image), 2835, 2835, 16, 16)
    with open(path, "wb") as f:
        f.write(header + info + palette + image)


if __name__ == "__main__":
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "panel.bmp", draw())
