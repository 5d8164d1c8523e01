#!/usr/bin/env python3
"""Draws Vosko's bitmaps and icons.

    python3 make_art.py OUTDIR

writes into OUTDIR:
  banner.bmp     bitmap 113: the banner at the top-left of the main window and of dialogs
  about.bmp      bitmap 118: the picture in the About box
  vosko.ico      icon 101:   the window's small icon (16x16 and 32x32)
  quotefile.ico  icon 102:   the item icon of a quote file in the list (16x16 and 32x32)

Only the standard library is used, and the output is the same, byte for byte, on every run.
All drawing is done here: a float RGBA canvas, shapes given as "is this point inside"
functions, anti-aliased by counting sub-pixel samples, and two small pixel fonts.
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------------------
# Colours (straight RGB, 0..1)


def hex_colour(text):
    """'#rrggbb' -> (r, g, b) in 0..1."""
    text = text.lstrip("#")
    return tuple(int(text[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def mix(a, b, t):
    """The colour a fraction t of the way from a to b."""
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def ramp(stops, t):
    """Piecewise-linear colour ramp; stops is a list of (position, colour), positions rising."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0))
    return stops[-1][1]


TEAL_DEEP = hex_colour("#0b3440")
TEAL = hex_colour("#12606f")
TEAL_LIGHT = hex_colour("#4a9ba6")
TEAL_PALE = hex_colour("#9fd0d6")
AMBER = hex_colour("#f0b440")
WHITE = hex_colour("#ffffff")
SUBTITLE = hex_colour("#cfe9ec")

# ---------------------------------------------------------------------------------------
# Canvas


class Canvas:
    """A width x height picture of premultiplied float RGBA pixels, initially transparent
    (or filled with an opaque colour)."""

    def __init__(self, width, height, colour=None):
        self.width = width
        self.height = height
        if colour is None:
            self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]
        else:
            self.px = [[colour[0], colour[1], colour[2], 1.0] for _ in range(width * height)]

    def paint(self, x, y, colour, alpha):
        """Lays colour over pixel (x, y) with opacity alpha (source-over)."""
        if alpha <= 0.0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        alpha = min(alpha, 1.0)
        p = self.px[y * self.width + x]
        keep = 1.0 - alpha
        p[0] = colour[0] * alpha + p[0] * keep
        p[1] = colour[1] * alpha + p[1] * keep
        p[2] = colour[2] * alpha + p[2] * keep
        p[3] = alpha + p[3] * keep

    def rgba8(self, x, y):
        """Pixel (x, y) as straight (not premultiplied) 8-bit (r, g, b, a); a transparent
        pixel is (0, 0, 0, 0)."""
        r, g, b, a = self.px[y * self.width + x]
        a8 = to_byte(a)
        if a8 == 0:
            return (0, 0, 0, 0)
        return (to_byte(r / a), to_byte(g / a), to_byte(b / a), a8)


def to_byte(v):
    return max(0, min(255, int(v * 255.0 + 0.5)))


# ---------------------------------------------------------------------------------------
# Shapes: functions (x, y) -> bool in pixel coordinates, y pointing down; pixel (i, j)
# covers the square [i, i+1) x [j, j+1).

SUBSAMPLES = 4  # per axis, so 16 samples a pixel


def fill(canvas, shape, colour, box=None, opacity=1.0):
    """Paints shape anti-aliased: each pixel gets the fraction of its sample points inside.
    colour is a colour or a function (x, y) -> colour evaluated at the pixel centre. box
    (x0, y0, x1, y1) limits the pixels visited."""
    x0, y0, x1, y1 = box if box else (0, 0, canvas.width, canvas.height)
    x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
    x1, y1 = min(canvas.width, int(math.ceil(x1))), min(canvas.height, int(math.ceil(y1)))
    offsets = [(i + 0.5) / SUBSAMPLES for i in range(SUBSAMPLES)]
    total = float(SUBSAMPLES * SUBSAMPLES)
    for py in range(y0, y1):
        for px in range(x0, x1):
            hits = 0
            for oy in offsets:
                for ox in offsets:
                    if shape(px + ox, py + oy):
                        hits += 1
            if hits:
                c = colour(px + 0.5, py + 0.5) if callable(colour) else colour
                canvas.paint(px, py, c, opacity * hits / total)


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0.0, x - (x1 - r))
        dy = max(y0 + r - y, 0.0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def polygon(points):
    """Even-odd rule."""
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        result = False
        for (xa, ya), (xb, yb) in edges:
            if (ya > y) != (yb > y) and x < xa + (y - ya) * (xb - xa) / (yb - ya):
                result = not result
        return result
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def translate(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


def place(shape, dx, dy, scale):
    """shape, drawn in its own units, magnified by scale with its origin moved to (dx, dy)."""
    return lambda x, y: shape((x - dx) / scale, (y - dy) / scale)


def quote_mark(cx, cy, r):
    """One opening quotation mark, a '6': a round dot of radius r centred at (cx, cy) with a
    tail that leaves its left side, rises and bends right to a point above the dot."""
    def inside(x, y):
        u, v = (x - cx) / r, (y - cy) / r
        if u * u + v * v <= 1.0:
            return True
        if v > 0.0 or u > 1.2 or (v > -0.3 and u > 0.0):
            return False
        # the crescent between an outer circle that touches the dot's left side and an inner
        # one that meets the dot's upper right; the two cross at the tip, (0.7, -2.2)
        outer = (u - 1.274) ** 2 + v * v <= 2.274 ** 2
        inner = (u - 1.875) ** 2 + (v + 1.3) ** 2 <= 1.48 ** 2
        return outer and not inner
    return inside


def quote_pair(x, y, height):
    """A pair of opening quotation marks whose box starts at (x, y) and is height tall;
    returns (shape, width)."""
    r = height / 3.35
    cy = y + height - r
    gap = 0.42 * r
    first = quote_mark(x + r, cy, r)
    second = quote_mark(x + 3 * r + gap, cy, r)
    return union(first, second), 4 * r + gap


# At 16x16 a computed outline blurs into blobs, so the small icons use marks drawn pixel
# by pixel: '#' is full ink, a digit n is ink at n/10, '.' is none.
MARK_16 = [
    "...5#",
    "..8#4",
    ".7#6.",
    "5###7",
    "#####",
    "#####",
    "8###8",
    ".6#6.",
]
MARK_10 = [
    "..5#",
    ".8#4",
    "6##7",
    "####",
    "####",
    ".##.",
]


def blit(canvas, rows, x, y, colour):
    """Paints pixel rows ('#' full, digit n at n/10, anything else none) with the top-left
    at (x, y)."""
    for j, line in enumerate(rows):
        for i, cell in enumerate(line):
            if cell == "#":
                canvas.paint(x + i, y + j, colour, 1.0)
            elif cell.isdigit():
                canvas.paint(x + i, y + j, colour, int(cell) / 10.0)


# ---------------------------------------------------------------------------------------
# Fonts: glyphs hand-drawn as pixel rows, '#' for ink. Row 0 is the cap line; rows that
# are missing at the end are blank.

# Title font: drawn on a fine grid (cap height 28 rows, x-height 21, strokes about 4 wide)
# and scaled down with smoothed outlines.
TITLE_FONT = {
    "V": [
        "#####..............#####",
        ".####..............####.",
        ".#####............#####.",
        ".#####............#####.",
        "..####............####..",
        "..#####..........#####..",
        "..#####..........#####..",
        "...####..........####...",
        "...#####........#####...",
        "...#####........#####...",
        "....####........####....",
        "....#####......#####....",
        "....#####......#####....",
        ".....####......####.....",
        ".....#####....#####.....",
        ".....#####....#####.....",
        "......####....####......",
        "......####....####......",
        "......#####..#####......",
        ".......####..####.......",
        ".......####..####.......",
        ".......##########.......",
        "........########........",
        "........########........",
        "........########........",
        ".........######.........",
        ".........######.........",
        ".........######.........",
    ],
    "o": [
        "....................",
        "....................",
        "....................",
        "....................",
        "....................",
        "....................",
        "....................",
        ".......######.......",
        ".....##########.....",
        "...##############...",
        "..################..",
        "..######....######..",
        ".#####........#####.",
        ".####..........####.",
        "#####..........#####",
        "####............####",
        "####............####",
        "####............####",
        "####............####",
        "####............####",
        "#####..........#####",
        ".####..........####.",
        ".#####........#####.",
        "..######....######..",
        "..################..",
        "...##############...",
        ".....##########.....",
        ".......######.......",
    ],
    "s": [
        ".................",
        ".................",
        ".................",
        ".................",
        ".................",
        ".................",
        ".................",
        ".....#######.....",
        "...###########...",
        "..#############..",
        ".#####.....#####.",
        ".####.......####.",
        "####.........##..",
        "####.............",
        "#####............",
        ".#########.......",
        "..############...",
        "...#############.",
        ".....###########.",
        "..........######.",
        "............#####",
        "............#####",
        "..##........#####",
        ".####.......####.",
        ".#####.....#####.",
        "..#############..",
        "...###########...",
        ".....#######.....",
    ],
    "k": [
        "####..............",
        "####..............",
        "####..............",
        "####..............",
        "####..............",
        "####..............",
        "####..............",
        "####........######",
        "####.......######.",
        "####......######..",
        "####.....######...",
        "####....######....",
        "####...######.....",
        "####..######......",
        "####.######.......",
        "###########.......",
        "############......",
        "############......",
        "#############.....",
        "######..#####.....",
        "#####....#####....",
        "####.....######...",
        "####......#####...",
        "####......######..",
        "####.......#####..",
        "####.......######.",
        "####........#####.",
        "####.........#####",
    ],
}
TITLE_CAP = 28
TITLE_SPACING = 3
TITLE_KERNING = {("V", "o"): -4}

# Caption font: one-pixel strokes drawn at the size they are shown (cap height 9, x-height
# 7, descenders 2).
CAPTION_FONT = {
    " ": ["...."],
    "T": ["#######"] + ["...#..."] * 8,
    "h": ["#....."] * 2 + ["#.###.", "##...#"] + ["#....#"] * 5,
    "e": ["......"] * 2 + [".####.", "#....#", "#....#", "######",
                           "#.....", "#....#", ".####."],
    "Q": ["..####..", ".#....#.", "#......#", "#......#", "#......#", "#......#",
          "#....#.#", ".#....#.", "..####.#"],
    "u": ["......"] * 2 + ["#....#"] * 5 + ["#...##", ".###.#"],
    "o": ["......"] * 2 + [".####."] + ["#....#"] * 5 + [".####."],
    "t": ["....", ".#..", "####"] + [".#.."] * 5 + ["..##"],
    "M": ["#.......#", "##.....##", "#.#...#.#", "#..#.#..#", "#...#...#"] +
         ["#.......#"] * 4,
    "a": ["......"] * 2 + [".####.", ".....#", ".....#", ".#####", "#....#",
                           "#...##", ".###.#"],
    "n": ["......"] * 2 + ["#.###.", "##...#"] + ["#....#"] * 5,
    "g": ["......"] * 2 + [".###.#", "#...##"] + ["#....#"] * 3 +
         ["#...##", ".###.#", ".....#", ".####."],
    "r": ["....."] * 2 + ["#.###", "##..."] + ["#...."] * 5,
}
CAPTION_CAP = 9
CAPTION_SPACING = 1


def glyph_width(font, ch):
    return len(font[ch][0])


def glyph_ink(rows, col, row):
    """1 where the glyph has ink at (col, row), 0 elsewhere, including outside it."""
    if 0 <= row < len(rows) and 0 <= col < len(rows[row]):
        return 1 if rows[row][col] == "#" else 0
    return 0


def smooth_glyph(rows):
    """The glyph as a shape in its own grid units with the staircase smoothed away: the
    outline is where the bilinear blend of the ink values of the surrounding four pixel
    centres crosses one half, which turns steps into slopes and rounds off corners."""
    def inside(u, v):
        gx, gy = u - 0.5, v - 0.5
        c0, r0 = int(math.floor(gx)), int(math.floor(gy))
        fx, fy = gx - c0, gy - r0
        top = glyph_ink(rows, c0, r0) * (1 - fx) + glyph_ink(rows, c0 + 1, r0) * fx
        bottom = glyph_ink(rows, c0, r0 + 1) * (1 - fx) + glyph_ink(rows, c0 + 1, r0 + 1) * fx
        return top * (1 - fy) + bottom * fy >= 0.5
    return inside


def draw_title(canvas, text, x, cap_top, cap_height, colour):
    """Sets text in the title font, smoothed and scaled so capitals are cap_height pixels
    tall, starting at x with the cap line at cap_top. Returns the x where it ends."""
    scale = cap_height / float(TITLE_CAP)
    pen = float(x)
    for i, ch in enumerate(text):
        rows = TITLE_FONT[ch]
        width, height = len(rows[0]) * scale, len(rows) * scale
        fill(canvas, place(smooth_glyph(rows), pen, cap_top, scale), colour,
             (pen - 1, cap_top - 1, pen + width + 1, cap_top + height + 1))
        pen += width
        if i + 1 < len(text):
            pen += (TITLE_SPACING + TITLE_KERNING.get((ch, text[i + 1]), 0)) * scale
    return pen


def draw_caption(canvas, text, x, cap_top, colour):
    """Sets text in the caption font, one font pixel to one pixel, from x with the cap line
    at cap_top. Returns the x where it ends."""
    for ch in text:
        blit(canvas, CAPTION_FONT[ch], x, cap_top, colour)
        x += glyph_width(CAPTION_FONT, ch) + CAPTION_SPACING
    return x - CAPTION_SPACING


# ---------------------------------------------------------------------------------------
# File writers


def bmp_bytes(canvas):
    """The canvas as a 24-bit uncompressed .bmp (BITMAPFILEHEADER + BITMAPINFOHEADER,
    bottom-up rows padded to four bytes), composited over black if not opaque."""
    w, h = canvas.width, canvas.height
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b, _ = canvas.px[y * w + x]  # premultiplied: already over black
            row += bytes((to_byte(b), to_byte(g), to_byte(r)))
        row += b"\0" * (stride - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info + bytes(pixels)


def icon_image_bytes(canvas):
    """One image of an .ico: BITMAPINFOHEADER (height doubled), 32-bit BGRA rows bottom-up,
    then the 1-bit AND mask, bottom-up, rows padded to four bytes; a mask bit is set
    exactly where the pixel is fully transparent."""
    w, h = canvas.width, canvas.height
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = canvas.rgba8(x, y)
            colour += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 32, 0, len(colour) + len(mask),
                       0, 0, 0, 0)
    return info + bytes(colour) + bytes(mask)


def ico_bytes(canvases):
    """An .ico holding the canvases (each at most 256 pixels square), smallest first."""
    images = [icon_image_bytes(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        out += struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0,
                           1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


# ---------------------------------------------------------------------------------------
# The pictures

BANNER_WIDTH = 1600
BANNER_HEIGHT = 36


def banner_background(x, y):
    """Deep teal at the left lightening towards the right (most of the change within the
    first few hundred pixels, which is what a dialog shows), a touch lighter at the top."""
    t = (1.0 - math.exp(-x / 520.0)) / (1.0 - math.exp(-BANNER_WIDTH / 520.0))
    base = ramp([(0.0, TEAL_DEEP), (0.55, TEAL), (1.0, TEAL_LIGHT)], t)
    lift = 0.07 * (1.0 - y / BANNER_HEIGHT)
    return mix(base, WHITE, lift)


def draw_banner():
    w, h = BANNER_WIDTH, BANNER_HEIGHT
    canvas = Canvas(w, h)
    fill(canvas, rect(0, 0, w, h), banner_background)
    # edges: a faint highlight along the top, a darker line along the bottom
    fill(canvas, rect(0, 0, w, 1), WHITE, opacity=0.10)
    fill(canvas, rect(0, h - 1, w, h), TEAL_DEEP, opacity=0.85)

    cap_top, cap = 7, 21
    baseline = cap_top + cap  # first row below the letters
    marks, marks_width = quote_pair(10, cap_top, 15)
    fill(canvas, marks, AMBER, (9, cap_top - 1, 11 + marks_width + 1, cap_top + 17))

    end = draw_title(canvas, "Vosko", 10 + marks_width + 8, cap_top, cap, WHITE)

    rule_x = int(round(end)) + 9
    fill(canvas, rect(rule_x, cap_top + 3, rule_x + 1, baseline), TEAL_PALE, opacity=0.45)
    draw_caption(canvas, "The Quote Manager", rule_x + 9, baseline - CAPTION_CAP, SUBTITLE)
    return canvas


def draw_about():
    """A 64x64 tile: a teal gradient square with a large white pair of quotation marks."""
    n = 64
    canvas = Canvas(n, n)

    def background(x, y):
        t = (x + y) / (2.0 * n)
        return ramp([(0.0, TEAL_LIGHT), (0.5, TEAL), (1.0, TEAL_DEEP)], t)
    fill(canvas, rect(0, 0, n, n), background)
    fill(canvas, rect(0, 0, n, 1), WHITE, opacity=0.25)
    fill(canvas, rect(0, 1, 1, n), WHITE, opacity=0.25)
    fill(canvas, rect(0, n - 1, n, n), TEAL_DEEP, opacity=0.8)
    fill(canvas, rect(n - 1, 0, n, n - 1), TEAL_DEEP, opacity=0.8)

    height = 30.0
    marks, width = quote_pair(0, 0, height)
    left, top = (n - width) / 2.0, (n - height) / 2.0
    fill(canvas, translate(marks, left + 1.5, top + 1.5), TEAL_DEEP, opacity=0.45)
    fill(canvas, translate(marks, left, top), WHITE)
    return canvas


def draw_app_icon(n):
    """The window icon at n x n: a rounded teal tile with white quotation marks."""
    canvas = Canvas(n, n)

    def background(x, y):
        return ramp([(0.0, TEAL_LIGHT), (1.0, TEAL_DEEP)], y / float(n))
    tile = rounded_rect(1, 1, n - 1, n - 1, n / 6.0)
    fill(canvas, tile, background)
    fill(canvas, minus(tile, rect(0, 2, n, n)), WHITE, opacity=0.18)  # top-edge highlight
    if n <= 16:
        blit(canvas, MARK_16, 3, 4, WHITE)
        blit(canvas, MARK_16, 9, 4, WHITE)
    else:
        height = n * 0.5
        marks, width = quote_pair(0, 0, height)
        fill(canvas, translate(marks, (n - width) / 2.0 + 0.5, (n - height) / 2.0), WHITE)
    return canvas


def draw_quote_file_icon(n):
    """The quote-file item icon at n x n: a sheet of paper with a folded corner, a teal
    quotation mark and a few grey lines of text, on a transparent background."""
    canvas = Canvas(n, n)
    if n <= 16:
        x0, y0, x1, y1, fold = 2, 0, 14, 16, 4
    else:
        x0, y0, x1, y1, fold = 5, 1, 27, 31, 8
    cut = x1 - fold - y0  # the folded corner's edge is the line x - y = cut
    root2 = math.sqrt(2.0)
    outline = polygon([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)])
    paper = polygon([(x0 + 1, y0 + 1), (cut - root2 + y0 + 1, y0 + 1),
                     (x1 - 1, x1 - 1 - cut + root2), (x1 - 1, y1 - 1), (x0 + 1, y1 - 1)])
    flap = polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])

    def paper_colour(x, y):
        return mix(WHITE, hex_colour("#e6eef0"), (y - y0) / float(y1 - y0))
    fill(canvas, paper, paper_colour)
    fill(canvas, minus(outline, paper), hex_colour("#6f8389"))
    fill(canvas, flap, hex_colour("#c9d6da"))
    fill(canvas, minus(flap, polygon([(x1 - fold + 1, y0 + 1 + root2),
                                      (x1 - fold + 1, y0 + fold - 1),
                                      (x1 - 1 - root2, y0 + fold - 1)])),
         hex_colour("#6f8389"))

    if n <= 16:
        blit(canvas, MARK_10, x0 + 2, y0 + 3, TEAL)
        blit(canvas, MARK_10, x0 + 7, y0 + 3, TEAL)
        for y, x_end in ((10, x1 - 2), (12, x1 - 4)):
            fill(canvas, rect(x0 + 2, y, x_end, y + 1), hex_colour("#9fb0b5"))
    else:
        marks, _ = quote_pair(x0 + 3, y0 + 6, 9)
        fill(canvas, marks, TEAL)
        for y, x_end in ((18, x1 - 3), (21, x1 - 3), (24, x1 - 3), (27, x1 - 8)):
            fill(canvas, rect(x0 + 3, y, x_end, y + 1), hex_colour("#a7b6ba"))
    return canvas


def make_all():
    """{file name: bytes} of every picture."""
    return {
        "banner.bmp": bmp_bytes(draw_banner()),
        "about.bmp": bmp_bytes(draw_about()),
        "vosko.ico": ico_bytes([draw_app_icon(16), draw_app_icon(32)]),
        "quotefile.ico": ico_bytes([draw_quote_file_icon(16), draw_quote_file_icon(32)]),
    }


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_art.py OUTDIR\n")
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, data in sorted(make_all().items()):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
