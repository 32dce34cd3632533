#!/usr/bin/env python3
"""Draws the program's pictures and writes them as BMP and ICO files.

    python3 res/make_pictures.py            # writes next to this script

Outputs (all committed, so the build does not need Python):
  background.bmp   bitmap 134, main window background, 500x438
  about_banner.bmp bitmap 139, About banner, 367x117
  kestrun.ico      icon 133, the window icon (16, 32, 48 px)
  icon_link.ico    tray icon while the tunnel answers (16, 32 px)
  icon_NoLink.ico  tray icon otherwise (16, 32 px)

Only the standard library is used. Shapes are drawn as signed distance fields, which
gives smooth edges without supersampling: a pixel's coverage is 0.5 - distance.

The two bitmaps are stored at 8 bits per pixel, BI_RLE8, with a palette of 256 colours
made for each picture (median cut, refined by a few k-means rounds). Only errors that a
person could see are diffused to the neighbours, so flat areas and the gradients, whose
steps the palette already follows, keep their runs.
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------------------
# Canvas


class Canvas:
    """RGBA float canvas, top-down rows, colours 0..255, alpha 0..1."""

    def __init__(self, width, height, colour=(0, 0, 0), alpha=1.0):
        self.w = width
        self.h = height
        self.px = [[list(colour) + [alpha] for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, cover):
        if cover <= 0.0 or x < 0 or y < 0 or x >= self.w or y >= self.h:
            return
        cover = min(cover, 1.0)
        p = self.px[y][x]
        out_a = cover + p[3] * (1.0 - cover)
        if out_a <= 0.0:
            return
        for i in range(3):
            p[i] = (colour[i] * cover + p[i] * p[3] * (1.0 - cover)) / out_a
        p[3] = out_a

    def fill_sdf(self, sdf, box, paint, softness=1.0, opacity=1.0):
        """Fills where sdf(x, y) < 0. paint is a colour or a function (x, y) -> colour."""
        x0, y0, x1, y1 = box
        x0 = max(0, int(math.floor(x0)) - 1)
        y0 = max(0, int(math.floor(y0)) - 1)
        x1 = min(self.w, int(math.ceil(x1)) + 2)
        y1 = min(self.h, int(math.ceil(y1)) + 2)
        for y in range(y0, y1):
            for x in range(x0, x1):
                d = sdf(x + 0.5, y + 0.5)
                cover = 0.5 - d / softness
                if cover <= 0.0:
                    continue
                colour = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                self.blend(x, y, colour, min(cover, 1.0) * opacity)

    def rgb_rows(self, background=(255, 255, 255)):
        rows = []
        for row in self.px:
            out = []
            for r, g, b, a in row:
                out.append(tuple(
                    int(round(c * a + bg * (1.0 - a))) for c, bg in zip((r, g, b), background)))
            rows.append(out)
        return rows


def mix(c1, c2, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


# ---------------------------------------------------------------------------------------
# Distance functions (negative inside)


def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_ring(cx, cy, r, half_width):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - half_width


def sd_segment(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def f(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - dx * t, y - ay - dy * t) - r
    return f


def sd_polyline(points, r):
    segments = [sd_segment(*points[i], *points[i + 1], r) for i in range(len(points) - 1)]
    return lambda x, y: min(s(x, y) for s in segments)


def sd_round_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - radius
    return f


def sd_polygon(points):
    n = len(points)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[i - 1]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = max(0.0, min(1.0, (wx * ex + wy * ey) / ((ex * ex + ey * ey) or 1e-9)))
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -d if inside else d
    return f


def bezier(p0, p1, p2, p3, steps=16):
    pts = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        pts.append((u ** 3 * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t ** 3 * p3[0],
                    u ** 3 * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t ** 3 * p3[1]))
    return pts


def shield_points(x, y, w, h):
    """A heater shield with a slightly arched top, inside the box (x, y, w, h)."""
    def p(u, v):
        return (x + u * w, y + v * h)
    top = bezier(p(0.0, 0.10), p(0.25, 0.12), p(0.40, 0.02), p(0.5, 0.0), 8)
    top += bezier(p(0.5, 0.0), p(0.60, 0.02), p(0.75, 0.12), p(1.0, 0.10), 8)[1:]
    right = bezier(p(1.0, 0.10), p(1.0, 0.55), p(0.88, 0.80), p(0.5, 1.0), 16)[1:]
    left = bezier(p(0.5, 1.0), p(0.12, 0.80), p(0.0, 0.55), p(0.0, 0.10), 16)[1:-1]
    return top + right + left


def box_of(points, pad=0.0):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


# ---------------------------------------------------------------------------------------
# Pixel font: 5x7 glyphs, drawn as a smooth union of rounded cells


GLYPHS = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "I": [".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "c": [".....", ".....", ".###.", "#....", "#....", "#...#", ".###."],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "m": [".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "t": [".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    " ": ["...", "...", "...", "...", "...", "...", "..."],
}


def smooth_min(a, b, k):
    h = max(k - abs(a - b), 0.0) / k
    return min(a, b) - h * h * k * 0.25


def text_cells(text, spacing=1):
    """Lit cells of text as (column, row) pairs, and the width in cells."""
    cells = []
    col = 0
    for ch in text:
        glyph = GLYPHS[ch]
        for row, line in enumerate(glyph):
            for c, mark in enumerate(line):
                if mark == "#":
                    cells.append((col + c, row))
        col += len(glyph[0]) + spacing
    return cells, col - spacing


def text_width(text, cell, spacing=1):
    return text_cells(text, spacing)[1] * cell


def draw_text(canvas, text, x, y, cell, colour, spacing=1, opacity=1.0):
    """Draws text with its top-left corner at (x, y); each font cell is cell px."""
    cells, width = text_cells(text, spacing)
    lit = set(cells)
    half = 0.5
    radius = 0.32

    def sdf(px, py):
        u = (px - x) / cell
        v = (py - y) / cell
        cu, cv = int(math.floor(u)), int(math.floor(v))
        d = 3.0
        for gx in range(cu - 1, cu + 2):
            for gy in range(cv - 1, cv + 2):
                if (gx, gy) not in lit:
                    continue
                qx = abs(u - gx - 0.5) - (half - radius)
                qy = abs(v - gy - 0.5) - (half - radius)
                cd = math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - radius
                d = smooth_min(d, cd, 0.3)
        return d * cell

    canvas.fill_sdf(sdf, (x, y, x + width * cell, y + 7 * cell), colour, opacity=opacity)


# ---------------------------------------------------------------------------------------
# Shared motifs

NAVY = (18, 44, 82)
TEAL = (26, 110, 140)
GOLD = (232, 184, 86)
PANEL = (247, 240, 222)  # the brush behind the main window's static texts and buttons
WHITE = (255, 255, 255)


def draw_network(canvas, nodes, links, colour, opacity, node_radius=2.6, line_width=0.7):
    for a, b in links:
        (ax, ay), (bx, by) = nodes[a], nodes[b]
        canvas.fill_sdf(sd_segment(ax, ay, bx, by, line_width),
                        (min(ax, bx) - 2, min(ay, by) - 2, max(ax, bx) + 2, max(ay, by) + 2),
                        colour, opacity=opacity)
    for nx, ny in nodes:
        canvas.fill_sdf(sd_circle(nx, ny, node_radius),
                        (nx - node_radius - 1, ny - node_radius - 1,
                         nx + node_radius + 1, ny + node_radius + 1),
                        colour, opacity=min(1.0, opacity * 1.6))


def draw_shield_logo(canvas, x, y, w, h):
    """The product mark: a shield with a gold rim and a white chain link inside."""
    outer = shield_points(x, y, w, h)
    inner = shield_points(x + w * 0.08, y + h * 0.07, w * 0.84, h * 0.86)
    shadow = [(px + w * 0.04, py + h * 0.04) for px, py in outer]
    canvas.fill_sdf(sd_polygon(shadow), box_of(shadow, 4), (0, 0, 0), softness=4.0, opacity=0.35)
    canvas.fill_sdf(sd_polygon(outer), box_of(outer), GOLD)
    body = lambda px, py: mix((40, 150, 180), (14, 52, 96), (py - y) / h)
    canvas.fill_sdf(sd_polygon(inner), box_of(inner), body)
    # Gloss over the upper half.
    gloss = shield_points(x + w * 0.14, y + h * 0.11, w * 0.72, h * 0.5)
    canvas.fill_sdf(sd_polygon(gloss), box_of(gloss), WHITE, softness=3.0, opacity=0.10)
    draw_chain_link(canvas, x + w * 0.5, y + h * 0.47, w * 0.62, WHITE, body)


def rotated(sdf, cx, cy, angle):
    ca, sa = math.cos(angle), math.sin(angle)
    return lambda x, y: sdf(cx + (x - cx) * ca + (y - cy) * sa, cy - (x - cx) * sa + (y - cy) * ca)


def draw_chain_link(canvas, cx, cy, length, colour, gap_paint):
    """Two interlocked chain links along the rising diagonal, length px from end to end.
    The second link passes over the first: a gap in gap_paint is cut around it first."""
    angle = -math.pi / 4
    link_len = length * 0.58
    link_h = length * 0.34
    stroke = length * 0.068
    offset = (length - link_len) / 2
    box = (cx - length, cy - length, cx + length, cy + length)
    rings = []
    for sign in (-1, 1):
        ox = cx + sign * offset
        rect = sd_round_rect(ox - link_len / 2, cy - link_h / 2, ox + link_len / 2,
                             cy + link_h / 2, link_h / 2)
        rings.append(rotated(lambda px, py, r=rect: abs(r(px, py)) - stroke, cx, cy, angle))
    canvas.fill_sdf(rings[0], box, colour)
    gap = stroke * 0.9
    canvas.fill_sdf(lambda px, py: rings[1](px, py) - gap, box, gap_paint)
    canvas.fill_sdf(rings[1], box, colour)


# ---------------------------------------------------------------------------------------
# Bitmap 134: main window background


def make_background():
    w, h = 500, 438
    band_bottom = 84   # the controls start at 50 dialog units, about 94 px
    strip_right = 126  # the controls start at 91 dialog units, about 137 px
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            t = (y / h) * 0.7 + (x / w) * 0.3
            col = mix(NAVY, TEAL, t)
            c.px[y][x] = list(col) + [1.0]

    # Faint network in the left strip and the top band.
    nodes = [(22, 120), (70, 104), (104, 150), (40, 186), (88, 222), (24, 262), (64, 300),
             (106, 330), (30, 352), (80, 392), (20, 420), (112, 418), (170, 20), (230, 58),
             (300, 16), (360, 60), (420, 26), (480, 64), (458, 12)]
    links = [(0, 1), (1, 2), (0, 3), (2, 3), (3, 4), (2, 4), (4, 5), (5, 6), (4, 6), (6, 7),
             (6, 8), (8, 9), (7, 9), (9, 10), (9, 11), (12, 13), (13, 14), (14, 15), (13, 15),
             (15, 16), (16, 17), (16, 18), (17, 18)]
    draw_network(c, nodes, links, (150, 210, 230), 0.22)

    # The calm panel behind the controls, exactly the static-control brush colour, so
    # labels and the status line do not show as boxes.
    panel = sd_round_rect(strip_right, band_bottom, w + 40, h + 40, 14)
    shadow = sd_round_rect(strip_right - 3, band_bottom - 3, w + 40, h + 40, 16)
    c.fill_sdf(shadow, (strip_right - 12, band_bottom - 12, w, h), (0, 0, 0), softness=5.0,
               opacity=0.45)
    c.fill_sdf(panel, (strip_right - 2, band_bottom - 2, w, h), GOLD)
    inner = sd_round_rect(strip_right + 2, band_bottom + 2, w + 40, h + 40, 12)
    c.fill_sdf(inner, (strip_right, band_bottom, w, h), PANEL)

    # Logo and product name in the top band.
    draw_shield_logo(c, 26, 10, 56, 66)
    draw_text(c, "Pallisor Client", 100, 18, 3.4, (0, 0, 0), opacity=0.35)
    draw_text(c, "Pallisor Client", 98, 16, 3.4, WHITE)
    draw_text(c, "SSL VPN", 100, 50, 2.2, GOLD)
    return c


# ---------------------------------------------------------------------------------------
# Bitmap 139: About banner


def make_about_banner():
    w, h = 367, 117
    c = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            t = (x / w) * 0.75 + (y / h) * 0.25
            c.px[y][x] = list(mix(NAVY, TEAL, t)) + [1.0]
    nodes = [(250, 14), (300, 40), (350, 16), (330, 80), (280, 96), (360, 104), (232, 70)]
    links = [(0, 1), (1, 2), (1, 3), (3, 4), (3, 5), (4, 6), (6, 1), (0, 6)]
    draw_network(c, nodes, links, (150, 210, 230), 0.25)
    # Gold rule along the bottom.
    c.fill_sdf(sd_segment(0, h - 3, w, h - 3, 1.2), (0, h - 6, w, h), GOLD)
    draw_shield_logo(c, 16, 14, 72, 86)
    draw_text(c, "Varnel Ostrimel", 104, 34, 2.8, (0, 0, 0), opacity=0.35)
    draw_text(c, "Varnel Ostrimel", 102, 32, 2.8, WHITE)
    draw_text(c, "SSL VPN Client", 104, 64, 1.9, GOLD)
    return c


# ---------------------------------------------------------------------------------------
# Icons


def make_app_icon(size):
    c = Canvas(size, size, (0, 0, 0), 0.0)
    if size <= 16:
        pts = shield_points(1.0, 0.5, 14.0, 15.0)
        c.fill_sdf(sd_polygon(pts), box_of(pts), GOLD)
        inner = shield_points(2.3, 1.8, 11.4, 12.4)
        c.fill_sdf(sd_polygon(inner), box_of(inner),
                   lambda px, py: mix((40, 150, 180), (14, 52, 96), py / 16))
        draw_chain_link(c, 8.0, 7.6, 11.0, WHITE,
                        lambda px, py: mix((40, 150, 180), (14, 52, 96), py / 16))
        return c
    m = size / 32.0
    draw_shield_logo(c, 2 * m, 1 * m, 28 * m, 30 * m)
    return c


def make_tray_icon(size, linked):
    """Connected: green shield with a white check. Not connected: grey shield, red cross."""
    c = Canvas(size, size, (0, 0, 0), 0.0)
    m = size / 16.0
    pts = shield_points(1.0 * m, 0.5 * m, 14.0 * m, 15.0 * m)
    if linked:
        rim, top, bottom = (20, 90, 30), (110, 210, 90), (30, 140, 50)
    else:
        rim, top, bottom = (80, 80, 86), (190, 192, 198), (120, 122, 130)
    c.fill_sdf(sd_polygon(pts), box_of(pts), rim)
    inner = shield_points(2.1 * m, 1.6 * m, 11.8 * m, 12.7 * m)
    c.fill_sdf(sd_polygon(inner), box_of(inner),
               lambda px, py: mix(top, bottom, py / size))
    if linked:
        check = [(4.4 * m, 7.9 * m), (7.0 * m, 10.6 * m), (11.8 * m, 4.8 * m)]
        c.fill_sdf(sd_polyline(check, 1.25 * m), (2 * m, 3 * m, 14 * m, 13 * m), (10, 60, 20),
                   opacity=0.5)
        c.fill_sdf(sd_polyline(check, 0.95 * m), (2 * m, 3 * m, 14 * m, 13 * m), WHITE)
    else:
        red = (210, 30, 30)
        a = 5.0 * m
        b = 11.0 * m
        top_y, bot_y = 4.5 * m, 10.5 * m
        outline = lambda px, py: min(sd_segment(a, top_y, b, bot_y, 1.5 * m)(px, py),
                                     sd_segment(b, top_y, a, bot_y, 1.5 * m)(px, py))
        cross = lambda px, py: min(sd_segment(a, top_y, b, bot_y, 1.05 * m)(px, py),
                                   sd_segment(b, top_y, a, bot_y, 1.05 * m)(px, py))
        c.fill_sdf(outline, (2 * m, 2 * m, 14 * m, 13 * m), WHITE)
        c.fill_sdf(cross, (2 * m, 2 * m, 14 * m, 13 * m), red)
    return c


# ---------------------------------------------------------------------------------------
# File formats


# Palette, dithering and BI_RLE8


PALETTE_SIZE = 256
# Per-pixel error (sum over the channels) below which nothing is diffused.
DITHER_THRESHOLD = 9


def median_cut(histogram, count):
    """Splits the colour cube of histogram ({colour: pixels}) into count boxes, always the
    box with the most pixels times its widest range, at the weighted median of that range."""
    boxes = [list(histogram.items())]

    def score(box):
        if len(box) < 2:
            return -1
        spread = max(max(c[0][i] for c in box) - min(c[0][i] for c in box) for i in range(3))
        return spread * sum(n for _, n in box)

    while len(boxes) < count:
        best = max(range(len(boxes)), key=lambda i: score(boxes[i]))
        box = boxes[best]
        if score(box) <= 0:
            break
        channel = max(range(3), key=lambda i: max(c[0][i] for c in box) - min(c[0][i] for c in box))
        box.sort(key=lambda c: c[0][channel])
        half = sum(n for _, n in box) / 2
        seen = 0
        cut = 1
        for i, (_, n) in enumerate(box[:-1]):
            seen += n
            cut = i + 1
            if seen >= half:
                break
        boxes[best:best + 1] = [box[:cut], box[cut:]]
    return [mean_colour(box) for box in boxes]


def mean_colour(entries):
    total = sum(n for _, n in entries)
    return tuple(sum(c[i] * n for c, n in entries) / total for i in range(3))


def nearest(palette, colour):
    r, g, b = colour
    best, best_d = 0, float("inf")
    for i, (pr, pg, pb) in enumerate(palette):
        d = (pr - r) ** 2 + (pg - g) ** 2 + (pb - b) ** 2
        if d < best_d:
            best, best_d = i, d
    return best


def make_palette(rows, rounds=4):
    histogram = {}
    for row in rows:
        for colour in row:
            histogram[colour] = histogram.get(colour, 0) + 1
    palette = median_cut(histogram, PALETTE_SIZE)
    for _ in range(rounds):
        groups = [[] for _ in palette]
        for colour, n in histogram.items():
            groups[nearest(palette, colour)].append((colour, n))
        palette = [mean_colour(g) if g else p for g, p in zip(groups, palette)]
    palette = sorted({tuple(int(round(c)) for c in p) for p in palette})
    palette += [(0, 0, 0)] * (PALETTE_SIZE - len(palette))
    return palette


def quantise(rows, palette):
    """Palette indices, top-down rows: Floyd-Steinberg, but only for visible errors."""
    h, w = len(rows), len(rows[0])
    cache = {}
    error = [[[0.0, 0.0, 0.0] for _ in range(w + 2)] for _ in range(2)]
    out = []
    for y in range(h):
        here, below = error[y % 2], error[(y + 1) % 2]
        for e in below:
            e[0] = e[1] = e[2] = 0.0
        line = []
        for x in range(w):
            wanted = [min(255.0, max(0.0, rows[y][x][i] + here[x + 1][i])) for i in range(3)]
            key = tuple(int(round(c)) for c in wanted)
            index = cache.get(key)
            if index is None:
                index = cache[key] = nearest(palette, key)
            line.append(index)
            diff = [wanted[i] - palette[index][i] for i in range(3)]
            if sum(abs(d) for d in diff) < DITHER_THRESHOLD:
                continue
            for i in range(3):
                here[x + 2][i] += diff[i] * 7 / 16
                below[x][i] += diff[i] * 3 / 16
                below[x + 1][i] += diff[i] * 5 / 16
                below[x + 2][i] += diff[i] * 1 / 16
        out.append(line)
    return out


def rle8_line(line):
    """One row in BI_RLE8: runs as (count, index), other stretches in absolute mode (at
    least 3 pixels, padded to a 16-bit boundary), then the end-of-line escape."""
    out = bytearray()
    i, n = 0, len(line)
    while i < n:
        run = 1
        while i + run < n and run < 255 and line[i + run] == line[i]:
            run += 1
        if run >= 2:
            out += bytes((run, line[i]))
            i += run
            continue
        # A literal stretch: up to the next pair of equal pixels.
        j = i
        while j < n and j - i < 255 and not (j + 1 < n and line[j + 1] == line[j]):
            j += 1
        if j - i < 3:
            out += bytes((1, line[i]))
            i += 1
            continue
        out += bytes((0, j - i)) + bytes(line[i:j])
        if (j - i) % 2:
            out.append(0)
        i = j
    return out + b"\0\0"


def decode_rle8(data, w, h):
    """The rows (top-down) a BI_RLE8 stream paints; checks the encoder."""
    rows = [[0] * w for _ in range(h)]
    x, y, i = 0, 0, 0
    while i < len(data):
        count, value = data[i], data[i + 1]
        i += 2
        if count:
            for _ in range(count):
                rows[h - 1 - y][x] = value
                x += 1
        elif value == 0:
            x, y = 0, y + 1
        elif value == 1:
            break
        elif value == 2:
            x, y = x + data[i], y + data[i + 1]
            i += 2
        else:
            for k in range(value):
                rows[h - 1 - y][x] = data[i + k]
                x += 1
            i += value + (value % 2)
    return rows


def bmp8_bytes(canvas):
    """A bottom-up 8 bpp BI_RLE8 BMP with its own palette."""
    rows = canvas.rgb_rows()
    palette = make_palette(rows)
    indices = quantise(rows, palette)
    pixels = bytearray()
    for line in reversed(indices):
        pixels += rle8_line(line)
    pixels[-2:] = b"\0\1"  # the last end-of-line becomes the end of the bitmap
    assert decode_rle8(pixels, canvas.w, canvas.h) == indices
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 8, 1, len(pixels),
                         3780, 3780, PALETTE_SIZE, 0)
    offset = 14 + len(header) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + header + colours + pixels


def icon_image_bytes(canvas):
    """One ICO image: 32 bpp BGRA (alpha for systems that use it) plus the AND mask that
    systems without alpha support draw with."""
    n = canvas.w
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((n + 31) // 32) * 4
    for row in reversed(canvas.px):
        bits = 0
        line_mask = bytearray()
        for x, (r, g, b, a) in enumerate(row):
            alpha = max(0, min(255, int(round(a * 255))))
            # Colour premultiplication is not used by icons; store straight colour.
            xor += bytes((int(round(b)), int(round(g)), int(round(r)), alpha))
            bits = (bits << 1) | (1 if alpha < 128 else 0)
            if x % 8 == 7:
                line_mask.append(bits)
                bits = 0
        if n % 8:
            line_mask.append(bits << (8 - n % 8))
        line_mask += b"\0" * (mask_stride - len(line_mask))
        mask += line_mask
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + xor + mask


def ico_bytes(canvases):
    images = [icon_image_bytes(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        dim = c.w if c.w < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return out


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    files = {
        "background.bmp": lambda: bmp8_bytes(make_background()),
        "about_banner.bmp": lambda: bmp8_bytes(make_about_banner()),
        "kestrun.ico": lambda: ico_bytes([make_app_icon(s) for s in (16, 32, 48)]),
        "icon_link.ico": lambda: ico_bytes([make_tray_icon(s, True) for s in (16, 32)]),
        "icon_NoLink.ico": lambda: ico_bytes([make_tray_icon(s, False) for s in (16, 32)]),
    }
    for name, build in files.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(build())
        print("wrote", name)


if __name__ == "__main__":
    main()
