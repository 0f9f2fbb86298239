#!/usr/bin/python3
"""Draws every picture of the game archive as PNG files.

Colours are chosen on the 5-bit-per-channel grid of the game's 15-bit display
and written as exact 8-bit expansions of it, so what the PNG shows is what the
game shows. Dark pixels of sprites are kept at or below the blend levels the
game uses (5-bit 7 for bodies and the clock, 11 for markers and goal bursts) so
that they glow instead of covering the pitch.
Usage: gen_art.py OUTDIR
"""
import math
import random
import sys
from pathlib import Path

from PIL import Image, ImageFont, ImageDraw

sys.path.insert(0, str(Path(__file__).resolve().parent))
import pixfont  # noqa: E402

FONT_DIR = Path("/usr/share/fonts/truetype/dejavu")

# Palette, in 5-bit channel values.
BLACK = (0, 0, 0)
SPACE = (1, 1, 4)
PANEL = (2, 3, 7)
PANEL_EDGE = (5, 7, 13)
STEEL_DARK = (6, 8, 13)
STEEL = (11, 14, 20)
STEEL_LIGHT = (19, 22, 28)
CYAN = (8, 26, 31)
CYAN_DARK = (3, 12, 18)
WHITE = (30, 31, 31)
TEXT = (26, 28, 31)
DIM = (14, 16, 22)
GOLD = (31, 26, 6)
GOLD_DARK = (20, 12, 2)
RED = (31, 6, 5)
RED_LIGHT = (31, 20, 17)
RED_DARK = (16, 2, 2)
GREEN = (6, 30, 8)
GREEN_LIGHT = (20, 31, 20)
GREEN_DARK = (2, 15, 3)
VIOLET = (18, 10, 31)


def clamp5(v):
    return max(0, min(31, int(round(v))))


def col(c):
    """5-bit triple to the 8-bit triple the PNG stores."""
    return tuple((clamp5(v) << 3) | (clamp5(v) >> 2) for v in c)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def scale5(c, f):
    return tuple(v * f for v in c)


class Canvas:
    """A picture drawn in 5-bit colour; saved as an exact 8-bit PNG."""

    def __init__(self, w, h, fill=BLACK):
        self.w, self.h = w, h
        self.px = [[tuple(fill) for _ in range(w)] for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = tuple(clamp5(v) for v in c)

    def get(self, x, y):
        return self.px[y][x]

    def add_light(self, x, y, c, a):
        """Alpha-mixes c over the pixel (for glows drawn into opaque pictures)."""
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = tuple(clamp5(v) for v in mix(self.px[y][x], c, a))

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                self.px[y][x] = tuple(clamp5(v) for v in c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.put(x, y0, c)
            self.put(x, y1, c)
        for y in range(y0, y1 + 1):
            self.put(x0, y, c)
            self.put(x1, y, c)

    def hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            self.put(x, y, c)

    def paste(self, other, ox, oy, transparent_black=True):
        for y in range(other.h):
            for x in range(other.w):
                c = other.px[y][x]
                if transparent_black and c == (0, 0, 0):
                    continue
                self.put(ox + x, oy + y, c)

    def save(self, path, zoom_safe=False):
        img = Image.new("RGB", (self.w, self.h))
        data = []
        for row in self.px:
            for c in row:
                r, g, b = c
                if zoom_safe and c != (0, 0, 0):
                    # The zoom draws each byte of a pixel only when it is non-zero:
                    # keep both bytes of every coloured pixel non-zero.
                    if b == 0 and (g & 7) == 0:
                        b = 1
                    if r == 0 and g < 8:
                        r = 1
                data.append(col((r, g, b)))
        img.putdata(data)
        img.save(path, optimize=True)


# ---------------------------------------------------------------- text


def text(cv, x, y, s, c, scale=1, shadow=None):
    if shadow is not None:
        for dx, dy in pixfont.text_pixels(s, scale):
            cv.put(x + dx + scale, y + dy + scale, shadow)
    for dx, dy in pixfont.text_pixels(s, scale):
        cv.put(x + dx, y + dy, c)


def text_center(cv, cx, y, s, c, scale=1, shadow=None):
    text(cv, cx - pixfont.text_width(s, scale) // 2, y, s, c, scale, shadow)


def text_right(cv, rx, y, s, c, scale=1, shadow=None):
    text(cv, rx - pixfont.text_width(s, scale) + 1, y, s, c, scale, shadow)


def fancy_text(cv, x, y, s, scale, top, bottom, outline, highlight=None):
    """Big text with a vertical gradient, a one-pixel outline and a lit top edge."""
    lit = set(pixfont.text_pixels(s, scale))
    h = pixfont.HEIGHT * scale
    edge = set()
    for (px, py) in lit:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1, 2):
                q = (px + dx, py + dy)
                if q not in lit:
                    edge.add(q)
    for (px, py) in edge:
        cv.put(x + px, y + py, outline)
    for (px, py) in lit:
        c = mix(top, bottom, py / max(1, h - 1))
        if highlight is not None and (px, py - 1) not in lit:
            c = highlight
        cv.put(x + px, y + py, c)


def fancy_center(cv, cx, y, s, scale, top, bottom, outline, highlight=None):
    fancy_text(cv, cx - pixfont.text_width(s, scale) // 2, y, s, scale, top, bottom, outline, highlight)


# ---------------------------------------------------------------- shapes


def stars(cv, x0, y0, x1, y1, count, seed, bright=1.0):
    rng = random.Random(seed)
    for _ in range(count):
        x = rng.randint(x0, x1)
        y = rng.randint(y0, y1)
        level = rng.choice([5, 7, 9, 12, 16, 22, 28]) * bright
        tint = rng.choice([(1.0, 1.0, 1.0), (0.8, 0.9, 1.0), (1.0, 0.9, 0.7), (0.7, 0.8, 1.0)])
        c = tuple(level * t for t in tint)
        cv.put(x, y, c)
        if level >= 26:
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                cv.put(x + dx, y + dy, scale5(c, 0.4))


def card(cv, x0, y0, x1, y1, border, fill=PANEL, inner=None):
    """A rounded panel: coloured border, dark fill."""
    cv.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)
    for x in range(x0 + 2, x1 - 1):
        cv.put(x, y0, border)
        cv.put(x, y1, border)
    for y in range(y0 + 2, y1 - 1):
        cv.put(x0, y, border)
        cv.put(x1, y, border)
    for (x, y) in ((x0 + 1, y0 + 1), (x1 - 1, y0 + 1), (x0 + 1, y1 - 1), (x1 - 1, y1 - 1)):
        cv.put(x, y, border)
    if inner is not None:
        for x in range(x0 + 3, x1 - 2):
            cv.put(x, y0 + 2, inner)
            cv.put(x, y1 - 2, inner)
        for y in range(y0 + 3, y1 - 2):
            cv.put(x0 + 2, y, inner)
            cv.put(x1 - 2, y, inner)


def keycap(cv, x, y, label, accent, w=None):
    """A small key drawn as a bevelled cap with its label."""
    if w is None:
        w = max(11, pixfont.text_width(label) + 6)
    h = 11
    cv.rect(x + 1, y + 1, x + w - 2, y + h - 2, STEEL_DARK)
    cv.hline(x + 1, x + w - 2, y, STEEL_LIGHT)
    cv.hline(x + 1, x + w - 2, y + h - 1, (3, 4, 7))
    for yy in range(y + 1, y + h - 1):
        cv.put(x, yy, STEEL)
        cv.put(x + w - 1, yy, (4, 5, 9))
    text(cv, x + (w - pixfont.text_width(label)) // 2, y + 2, label, accent)
    return w


def orb_pixels(size, core_r, glow_r, base, glow, light=(-0.55, -0.6, 0.58), shine_col=WHITE, ambient=0.42, outline=0.3):
    """A lit sphere with a soft glow; returns rows of 5-bit colours, black outside."""
    c = (size - 1) / 2
    ln = math.sqrt(sum(v * v for v in light))
    lx, ly, lz = (v / ln for v in light)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            dx, dy = x - c, y - c
            d = math.hypot(dx, dy)
            if d <= core_r:
                nx, ny = dx / core_r, dy / core_r
                nz = math.sqrt(max(0.0, 1 - nx * nx - ny * ny))
                diff = max(0.0, nx * lx + ny * ly + nz * lz)
                shine = diff ** 14
                shade = ambient + (1.04 - ambient) * diff
                p = mix(scale5(base, shade), shine_col, shine * 0.85)
                # A rim light on the far side and a dark opaque outline keep the orb
                # readable on a plasma of its own colour.
                rim = max(0.0, -(nx * lx + ny * ly)) ** 3 * (d / core_r) ** 4
                p = mix(p, mix(base, WHITE, 0.45), 0.75 * rim)
                if d > core_r - 0.9 and rim < 0.3:
                    p = scale5(base, outline)
                if max(p) < 9:
                    p = scale5(p, 9 / max(0.5, max(p)))
                row.append(tuple(clamp5(v) for v in p))
            elif d <= glow_r:
                t = (glow_r - d) / (glow_r - core_r)
                g = tuple(clamp5(v * (0.35 + 0.65 * t)) for v in glow)
                row.append(g)
            else:
                row.append((0, 0, 0))
        rows.append(row)
    return rows


def orb_canvas(size, core_r, glow_r, base, glow, digit=None, digit_col=None, ambient=0.42, outline=0.3):
    cv = Canvas(size, size)
    for y, row in enumerate(orb_pixels(size, core_r, glow_r, base, glow, ambient=ambient, outline=outline)):
        for x, c in enumerate(row):
            cv.put(x, y, c)
    if digit is not None:
        rows = pixfont.TINY_DIGITS[digit].split(" ")
        ox = (size - 3) // 2 + 1
        oy = (size - 5) // 2 + 1
        for gy, r in enumerate(rows):
            for gx, cell in enumerate(r):
                if cell == "#":
                    cv.put(ox + gx, oy + gy, digit_col)
    return cv


def paste_glow(cv, sprite, ox, oy):
    """Pastes a sprite into an opaque picture: dark pixels become a soft glow."""
    for y in range(sprite.h):
        for x in range(sprite.w):
            c = sprite.px[y][x]
            if c == (0, 0, 0):
                continue
            if max(c) <= 7:
                cv.add_light(ox + x, oy + y, scale5(c, 31 / 7), max(c) / 16)
            else:
                cv.put(ox + x, oy + y, c)


# ---------------------------------------------------------------- sprites

PLAYER_SIZE = 18
BALL_SIZE = 10


def red_player():
    return orb_canvas(PLAYER_SIZE, 6.6, 8.9, RED, (7, 1, 1), "1", (12, 0, 1))


def green_player():
    return orb_canvas(PLAYER_SIZE, 6.6, 8.9, GREEN, (1, 7, 2), "2", (0, 9, 2))


def ball():
    return orb_canvas(BALL_SIZE, 3.5, 4.9, (31, 31, 27), (4, 6, 7), ambient=0.7, outline=0.55)


# ---------------------------------------------------------------- pitch


def pitch():
    cv = Canvas(320, 200, SPACE)
    # Inner field: faint stars and the orbit markings (seen when plasma is off).
    stars(cv, 8, 16, 311, 183, 140, 11, 0.6)
    for x in range(8, 312):
        if x % 4 < 2:
            cv.put(x, 99, (3, 5, 9))
    for a in range(0, 360):
        t = math.radians(a)
        for r, c in ((34, (3, 6, 10)), (35, (2, 4, 7))):
            cv.put(int(round(159.5 + r * math.cos(t))), int(round(99.5 + r * math.sin(t) * 0.9)), c)
    cv.put(159, 99, (6, 9, 14))
    cv.put(160, 99, (6, 9, 14))
    # Goal areas: dashed arcs in front of each opening.
    for a in range(0, 181, 2):
        t = math.radians(a)
        cv.put(int(round(159.5 + 40 * math.cos(t))), int(round(16 + 22 * math.sin(t))), (3, 5, 9))
        cv.put(int(round(159.5 + 40 * math.cos(t))), int(round(183 - 22 * math.sin(t))), (3, 5, 9))
    # Walls.
    def wall(x0, y0, x1, y1):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                tile = ((x // 16) + (y // 8)) % 2
                c = STEEL_DARK if tile else (7, 9, 15)
                cv.put(x, y, c)
    wall(0, 0, 319, 15)
    wall(0, 184, 319, 199)
    wall(0, 16, 7, 183)
    wall(312, 16, 319, 183)
    # Rivets on the walls.
    for x in range(4, 320, 16):
        for y in (4, 12, 187, 195):
            cv.put(x, y, STEEL_LIGHT)
            cv.put(x + 1, y + 1, (3, 4, 7))
    for y in range(24, 180, 16):
        for x in (3, 315):
            cv.put(x, y, STEEL_LIGHT)
            cv.put(x + 1, y + 1, (3, 4, 7))
    # The glowing inner edge of the walls.
    for x in range(7, 313):
        cv.put(x, 15, CYAN_DARK)
        cv.put(x, 184, CYAN_DARK)
    for y in range(15, 185):
        cv.put(7, y, CYAN_DARK)
        cv.put(312, y, CYAN_DARK)
    for x in range(8, 312):
        cv.put(x, 14, (5, 14, 20))
        cv.put(x, 185, (5, 14, 20))
    # Goal openings x 136..183, through the walls to the screen edges.
    for (y0, y1, inward) in ((0, 15, 1), (184, 199, -1)):
        for y in range(y0, y1 + 1):
            depth = (y1 - y) if inward == 1 else (y - y0)
            for x in range(136, 184):
                c = mix((0, 0, 1), (2, 3, 7), depth / 15)
                if (x - 136) % 6 == 0 or (y % 4 == 0):
                    c = mix(c, (4, 6, 12), 0.7)
                cv.put(x, y, c)
        for y in range(y0, y1 + 1):
            for x, c in ((134, STEEL_LIGHT), (135, WHITE), (184, WHITE), (185, STEEL_LIGHT)):
                cv.put(x, y, c)
    # Score and clock panels: plain and dark, framed outside their areas.
    def panel(x0, y0, x1, y1, frame_rows):
        cv.rect(x0, y0, x1, y1, (1, 1, 3))
        for (fx0, fy0, fx1, fy1) in frame_rows:
            for y in range(fy0, fy1 + 1):
                for x in range(fx0, fx1 + 1):
                    cv.put(x, y, PANEL_EDGE)
    panel(70, 0, 130, 10, [(69, 0, 69, 11), (131, 0, 131, 11), (69, 11, 131, 11)])
    panel(70, 190, 130, 199, [(69, 189, 69, 199), (131, 189, 131, 199), (69, 189, 131, 189)])
    panel(215, 0, 319, 10, [(214, 0, 214, 11), (214, 11, 319, 11)])
    # Side badges beside the score panels: red (side 1) scores on top, green (side 2) below.
    for (bx, by, c, d) in ((58, 1, RED, "1"), (58, 190, GREEN, "2")):
        cv.rect(bx, by, bx + 8, by + 8, scale5(c, 0.45))
        cv.frame(bx, by, bx + 8, by + 8, c)
        text(cv, bx + 2, by + 1, d, WHITE)
    return cv


# ---------------------------------------------------------------- small strips


def clock_bar():
    cv = Canvas(101, 8)
    profile = [0.0, 0.55, 0.85, 1.0, 0.95, 0.8, 0.6, 0.0]
    # Left cap: an hourglass in steel.
    glass = ["#######..", ".#...#...", "..#.#....", "...#.....", "..#.#....", ".#...#...", "#######..", "........."]
    for y, row in enumerate(glass):
        for x, cell in enumerate(row):
            if cell == "#":
                cv.put(x, y, STEEL_LIGHT if y in (0, 6) else CYAN)
    for y in (2, 4):
        cv.put(3, y, GOLD)
    cv.put(8, 3, (3, 5, 7))
    cv.put(8, 4, (3, 5, 7))
    # 84 cells: red when little time is left, through gold to cyan when full.
    for i in range(84):
        t = i / 83
        base = mix(RED, GOLD, t / 0.5) if t < 0.5 else mix(GOLD, CYAN, (t - 0.5) / 0.5)
        for y in range(8):
            p = profile[y]
            if p == 0:
                glow = scale5(base, 0.2)
                cv.put(9 + i, y, tuple(min(6, v) for v in glow))
                continue
            c = scale5(base, 0.55 + 0.45 * p)
            if y == 2:
                c = mix(c, WHITE, 0.35)
            if i % 6 == 5:
                c = scale5(c, 0.8)
            if max(c) < 9:
                c = scale5(c, 9 / max(1, max(c)))
            cv.put(9 + i, y, c)
    # Right cap: a rounded steel end.
    cap = [".####...", "#SSSS#..", "#SLLS#..", "#SLLS#..", "#SSSS#..", "#SSSS#..", ".####...", "........"]
    for y, row in enumerate(cap):
        for x, cell in enumerate(row):
            c = {"#": STEEL_LIGHT, "S": STEEL, "L": WHITE}.get(cell)
            if c:
                cv.put(93 + x, y, c)
    cv.put(99, 2, (3, 5, 7))
    cv.put(99, 3, (3, 5, 7))
    return cv


def score_marks():
    cv = Canvas(10, 240)
    for k in range(30):
        oy = 8 * k
        ang = 2 * math.pi * k / 30
        mx, my = 4.5 + 3.9 * math.cos(ang), 3.5 + 1.9 * math.sin(ang)
        behind = math.sin(ang) < 0
        orb = orb_pixels(10, 2.7, 3.9, GOLD, (10, 7, 1))
        layer = [[orb[y + 1][x] for x in range(10)] for y in range(8)]
        def moon():
            for y in range(8):
                for x in range(10):
                    d = math.hypot(x - mx, y - my)
                    if d < 0.9:
                        layer[y][x] = WHITE
                    elif d < 1.7 and max(layer[y][x]) <= 11:
                        layer[y][x] = (9, 10, 11)
        if not behind:
            for y in range(8):
                for x in range(10):
                    pass
            moon()
        else:
            # Behind the orb only the part outside the gold disc shows.
            saved = [row[:] for row in layer]
            moon()
            for y in range(8):
                for x in range(10):
                    if max(saved[y][x]) > 11:
                        layer[y][x] = saved[y][x]
        for y in range(8):
            for x in range(10):
                cv.put(x, oy + y, layer[y][x])
    return cv


def wipe_bar(upper):
    cv = Canvas(5, 6)
    rows = [STEEL_DARK, STEEL_LIGHT, CYAN, (4, 18, 24), STEEL, (2, 3, 6)]
    if not upper:
        rows = rows[::-1]
    for y, c in enumerate(rows):
        for x in range(5):
            p = c
            if x == 4:
                p = scale5(c, 0.7)
            cv.put(x, y, p)
    return cv


def goal_strip(width, px, py, sprite, colours, seed):
    """30 frames every 32 rows, 34 rows each: three moons circle the player twice
    while a shock ring spreads out and sparkles fade."""
    cv = Canvas(width, 962)
    rng = random.Random(seed)
    cx, cy = px + PLAYER_SIZE / 2 - 0.5, py + PLAYER_SIZE / 2 - 0.5
    rx, ry = min(13.0, width - 1 - cx, cx + 2), 6.5
    twinkles = [(rng.randint(1, width - 2), rng.randint(3, 30), rng.randint(0, 29)) for _ in range(24)]
    for k in range(30):
        oy = 32 * k
        t = k / 29
        frame = Canvas(width, 34)
        r = 10 + 18 * t
        for a in range(0, 360, 3):
            x = cx + r * math.cos(math.radians(a))
            y = cy + r * math.sin(math.radians(a)) * 0.8
            frame.put(int(round(x)), int(round(y)), scale5(colours[0], 0.35 * (1 - t) + 0.03))
        for (x, y, born) in twinkles:
            age = k - born
            if 0 <= age < 6:
                level = 0.35 * (1 - age / 6)
                c = scale5(colours[2], level)
                frame.put(x, y, scale5(colours[2], level + 0.25))
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    frame.put(x + dx, y + dy, c)
        def moon(i, front):
            for j, level in ((4, 0.12), (3, 0.18), (2, 0.25), (1, 0.32), (0, 1.0)):
                a = 2 * math.pi * ((k - j * 0.35) / 15 + i / 3)
                if (math.sin(a) >= 0) != front:
                    continue
                x, y = cx + rx * math.cos(a), cy + ry * math.sin(a)
                c = colours[i % len(colours)]
                frame.put(int(round(x)), int(round(y)), scale5(c, level) if j else mix(c, WHITE, 0.4))
        for i in range(3):
            moon(i, False)
        flash = 0.55 * (1 - t) ** 3
        for y in range(sprite.h):
            for x in range(sprite.w):
                c = sprite.px[y][x]
                if c != (0, 0, 0):
                    if max(c) > 7:
                        c = mix(c, WHITE, flash)
                    frame.put(px + x, py + y, c)
        for i in range(3):
            moon(i, True)
        # The two rows shared with the neighbouring frames stay empty.
        for y in range(2, 32):
            for x in range(width):
                c = frame.px[y][x]
                if c != (0, 0, 0):
                    cv.put(x, oy + y, c)
    return cv


# ---------------------------------------------------------------- cards


def goal_picture(side):
    w, h = 198, 60
    cv = Canvas(w, h)
    c, light, dark = (RED, RED_LIGHT, RED_DARK) if side == 1 else (GREEN, GREEN_LIGHT, GREEN_DARK)
    card(cv, 0, 0, w - 1, h - 1, c, PANEL, dark)
    fancy_center(cv, w // 2, 7, "GOAL!", 4, WHITE, light, (1, 1, 2), None)
    name = "RED SCORES - SIDE 1" if side == 1 else "GREEN SCORES - SIDE 2"
    text_center(cv, w // 2, 43, name, c, 1, (1, 1, 2))
    sprite = red_player() if side == 1 else green_player()
    paste_glow(cv, sprite, 10, 21)
    paste_glow(cv, sprite, w - 10 - PLAYER_SIZE, 21)
    return cv


def end_picture_a():
    # Only the top 46 rows hold the card; the rest stays transparent so the
    # winner's card below it covers nothing.
    w, h = 180, 90
    cv = Canvas(w, h)
    card(cv, 0, 0, w - 1, 45, CYAN, PANEL, CYAN_DARK)
    fancy_center(cv, w // 2, 7, "MATCH OVER", 2, WHITE, CYAN, (1, 1, 2))
    text_center(cv, w // 2, 29, "THE SIXTH GOAL DECIDES IT", DIM)
    return cv


def end_picture_side(side):
    w, h = 159, 54
    cv = Canvas(w, h)
    c, light, dark = (RED, RED_LIGHT, RED_DARK) if side == 1 else (GREEN, GREEN_LIGHT, GREEN_DARK)
    card(cv, 0, 0, w - 1, 31, c, PANEL, dark)
    word = "RED WINS!" if side == 1 else "GREEN WINS!"
    fancy_center(cv, w // 2, 5, word, 2, WHITE, light, (1, 1, 2))
    text_center(cv, w // 2, 22, "SIDE %d TAKES THE MATCH" % side, c)
    return cv


def end_picture_b():
    w, h = 147, 27
    cv = Canvas(w, h)
    card(cv, 0, 0, w - 1, h - 1, GOLD, PANEL, GOLD_DARK)
    fancy_center(cv, w // 2, 6, "PRESS A KEY", 2, WHITE, GOLD, (1, 1, 2))
    return cv


def time_up_a():
    w, h = 201, 40
    cv = Canvas(w, h)
    card(cv, 0, 0, w - 1, h - 1, GOLD, PANEL, GOLD_DARK)
    fancy_center(cv, w // 2, 6, "TIME UP!", 4, WHITE, GOLD, (1, 1, 2))
    return cv


def time_up_b():
    # The top 30 rows stay black (transparent) so the card sits below "TIME UP!".
    w, h = 204, 80
    cv = Canvas(w, h)
    card(cv, 0, 30, w - 1, h - 1, CYAN, PANEL, CYAN_DARK)
    text_center(cv, w // 2, 37, "THE LEADER GOES TO 5 GOALS", TEXT)
    text_center(cv, w // 2, 48, "LEVEL: BOTH SIDES GO TO 5", TEXT)
    text_center(cv, w // 2, 62, "THE NEXT GOAL WINS!", GOLD, 1, (1, 1, 2))
    return cv


# ---------------------------------------------------------------- title


def logo_mask(size):
    font = ImageFont.truetype(str(FONT_DIR / "DejaVuSans-BoldOblique.ttf"), size)
    img = Image.new("L", (320, 100), 0)
    d = ImageDraw.Draw(img)
    box = d.textbbox((0, 0), "ZORBIT", font=font)
    tw, th = box[2] - box[0], box[3] - box[1]
    d.text(((320 - tw) // 2 - box[0], 8 - box[1]), "ZORBIT", font=font, fill=255)
    lit = set()
    for y in range(100):
        for x in range(320):
            if img.getpixel((x, y)) >= 120:
                lit.add((x, y))
    return lit, th


def title_picture():
    cv = Canvas(320, 200)
    stars(cv, 0, 1, 319, 82, 170, 21)
    cv.hline(0, 319, 0, BLACK)
    lit, th = logo_mask(62)
    oy = 6
    ys = [y for (_, y) in lit]
    top, bottom = min(ys), max(ys)
    # Orbit ring: the far half behind the logo, the near half in front.
    ring = []
    for a10 in range(0, 3600, 4):
        t = math.radians(a10 / 10)
        x = 160 + 154 * math.cos(t)
        y = 48 + 19 * math.sin(t) - 9 * math.cos(t) * 0.35
        ring.append((x, y, math.sin(t)))
    def draw_ring(front):
        for (x, y, s) in ring:
            if (s >= 0) == front:
                depth = 0.55 + 0.45 * (s + 1) / 2
                cv.put(int(round(x)), int(round(y)), scale5(CYAN, depth))
                cv.put(int(round(x)), int(round(y)) + 1, scale5(CYAN_DARK, depth))
    draw_ring(False)
    # Logo: chrome gradient, outline, shadow.
    for (x, y) in lit:
        for dx, dy in ((2, 2), (3, 3)):
            if (x + dx, y + dy) not in lit:
                cv.put(x + dx, y + dy + oy, (2, 1, 6))
    for (x, y) in lit:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                if (x + dx, y + dy) not in lit:
                    cv.put(x + dx, y + dy + oy, (1, 1, 4))
    mid = (top + bottom) / 2
    for (x, y) in lit:
        if y < mid:
            c = mix((10, 17, 31), (29, 31, 31), (y - top) / max(1, mid - top))
        else:
            c = mix((8, 3, 14), (31, 14, 27), (y - mid) / max(1, bottom - mid))
        if (x, y - 1) not in lit:
            c = WHITE
        cv.put(x, y + oy, c)
    draw_ring(True)
    # The two players and the ball riding the orbit.
    paste_glow(cv, red_player(), 20, 52)
    paste_glow(cv, green_player(), 282, 40)
    paste_glow(cv, ball(), 246, 63)
    # Colourful line, rows 83..93.
    profile = [0.15, 0.35, 0.6, 0.85, 1.0, 1.0, 1.0, 0.85, 0.6, 0.35, 0.15]
    for i, y in enumerate(range(83, 94)):
        for x in range(320):
            hue = x / 320 * 6
            seg = int(hue) % 6
            f = hue - int(hue)
            rgb = [(1, f, 0), (1 - f, 1, 0), (0, 1, f), (0, 1 - f, 1), (f, 0, 1), (1, 0, 1 - f)][seg]
            c = tuple(31 * (0.25 + 0.75 * v) * profile[i] for v in rgb)
            if i == 4:
                c = mix(c, WHITE, 0.3)
            cv.put(x, y, c)
    # Rows 94..109 show through the green channel only.
    sub = "TWO PLAYERS, ONE KEYBOARD"
    x0 = 160 - pixfont.text_width(sub, 2) // 2
    for dx, dy in pixfont.text_pixels(sub, 2):
        cv.put(x0 + dx + 1, 95 + dy + 1, (0, 6, 0))
    for dx, dy in pixfont.text_pixels(sub, 2):
        cv.put(x0 + dx, 95 + dy, (8, 31 - dy, 10))
    cv.rect(0, 110, 319, 199, BLACK)
    return cv


def panel_header(cv, oy, title, colour):
    fancy_center(cv, 160, oy + 9, title, 2, WHITE, colour, (1, 1, 3))
    for x in range(30, 290):
        t = 1 - abs(x - 160) / 130
        cv.put(x, oy + 26, scale5(colour, 0.25 + 0.6 * t))


def key_cluster(cv, x, y, keys, accent):
    """Four keycaps in the shape of arrow keys: up on top, left, down, right below."""
    left, right, up, down = keys
    keycap(cv, x + 13, y, up, accent)
    keycap(cv, x, y + 12, left, accent)
    keycap(cv, x + 13, y + 12, down, accent)
    keycap(cv, x + 26, y + 12, right, accent)


ARROWS = ("\u2190", "\u2192", "\u2191", "\u2193")
GREEN_LETTERS = ("O", "P", "Q", "A")


def title_panels():
    cv = Canvas(320, 475)
    # Panel 1: controls.
    oy = 0
    panel_header(cv, oy, "CONTROLS", CYAN)
    text(cv, 24, oy + 33, "RED PLAYER - SIDE 1", RED)
    text(cv, 184, oy + 33, "GREEN PLAYER - SIDE 2", GREEN)
    key_cluster(cv, 40, oy + 44, ARROWS, RED_LIGHT)
    paste_glow(cv, red_player(), 92, oy + 50)
    key_cluster(cv, 200, oy + 44, GREEN_LETTERS, GREEN_LIGHT)
    paste_glow(cv, green_player(), 252, oy + 50)
    text_center(cv, 160, oy + 73, "THE KEYS PUSH YOUR ORB; HITS TRADE SPEED", TEXT)
    text_center(cv, 160, oy + 82, "KEY 1 OR 2: RED OR GREEN VS THE COMPUTER", GOLD)
    # Panel 2: rules.
    oy = 95
    panel_header(cv, oy, "RULES", GOLD)
    lines = [
        ("RED (SIDE 1) SCORES THROUGH THE BOTTOM", RED_LIGHT),
        ("GREEN (SIDE 2) SCORES THROUGH THE TOP", GREEN_LIGHT),
        ("THE SIXTH GOAL WINS THE MATCH.", TEXT),
        ("WHEN THE CLOCK RUNS OUT THE LEADER", TEXT),
        ("GOES TO 5 - BOTH SIDES WHEN LEVEL -", TEXT),
        ("AND THE NEXT WINNING GOAL ENDS IT.", TEXT),
    ]
    for i, (s, c) in enumerate(lines):
        text_center(cv, 160, oy + 32 + 9 * i, s, c)
    # Panel 3: function keys.
    oy = 190
    panel_header(cv, oy, "FUNCTION KEYS", VIOLET)
    rows = [("F1", "INFORMATION"), ("F2", "REDEFINE THE PLAYER KEYS"), ("F11", "SPRITES MORE SEE-THROUGH"),
            ("F12", "SPRITES MORE SOLID"), ("ESC", "TITLE / QUIT ON THE TITLE")]
    for i, (k, s) in enumerate(rows):
        y = oy + 31 + 12 * i
        keycap(cv, 60, y, k, GOLD, 23)
        text(cv, 92, y + 2, s, TEXT)
    # Panel 4: settings file.
    oy = 285
    panel_header(cv, oy, "SETTINGS", GREEN)
    lines = [
        ("ZORBIT.INI, READ AT EVERY START:", GOLD),
        ("[GENERAL] ENABLEPLASMA GAMESPEED GAMELENGTH", TEXT),
        ("[VIDEO]   WINDOWED SCALE REFRESHRATE", TEXT),
        ("[AUDIO]   ENABLESOUND ENABLEMUSIC", TEXT),
        ("[PLAYERS] RED GREEN SKILL [NETWORK] INPUTDELAY", TEXT),
        ("[CONTROLS/REDPLAYER], [CONTROLS/GREENPLAYER]:", TEXT),
        ("LEFT RIGHT UP DOWN PAD - SEE README", DIM),
    ]
    for i, (s, c) in enumerate(lines):
        text(cv, 31, oy + 31 + 9 * i, s, c)
    # Panel 5: credits and the call to play.
    oy = 380
    panel_header(cv, oy, "ZORBIT 1.0", RED)
    lines = [
        ("A GAME BY THE ZORBIT PROJECT", TEXT),
        ("PICTURES, MUSIC AND SOUNDS MADE", DIM),
        ("BY ITS OWN PROGRAMS - MIT LICENCE", DIM),
    ]
    for i, (s, c) in enumerate(lines):
        text_center(cv, 160, oy + 32 + 9 * i, s, c)
    fancy_center(cv, 160, oy + 66, "PRESS ANY KEY", 2, WHITE, GOLD, (1, 1, 3))
    paste_glow(cv, red_player(), 44, oy + 64)
    paste_glow(cv, green_player(), 258, oy + 64)
    # The first six rows of each panel are never shown.
    for p in range(5):
        cv.rect(0, 95 * p, 319, 95 * p + 5, BLACK)
    return cv


# ---------------------------------------------------------------- overlays


def overlay_background(cv, top, bottom, accent):
    cv.rect(0, top, 319, bottom, PANEL)
    stars(cv, 2, top + 2, 317, bottom - 2, 60, 5, 0.35)
    cv.frame(1, top + 1, 318, bottom - 1, accent)
    cv.frame(3, top + 3, 316, bottom - 3, scale5(accent, 0.4))


def info_picture():
    cv = Canvas(320, 181)
    overlay_background(cv, 1, 180, CYAN)
    cv.hline(0, 319, 0, BLACK)
    fancy_center(cv, 160, 8, "ZORBIT HELP", 2, WHITE, CYAN, (1, 1, 3))
    # Players.
    text(cv, 14, 30, "RED PLAYER - SIDE 1", RED)
    key_cluster(cv, 24, 41, ARROWS, RED_LIGHT)
    paste_glow(cv, red_player(), 72, 45)
    text(cv, 14, 68, "ARROW KEYS", TEXT)
    text(cv, 14, 77, "SCORES AT THE BOTTOM", DIM)
    text(cv, 170, 30, "GREEN PLAYER - SIDE 2", GREEN)
    key_cluster(cv, 180, 41, GREEN_LETTERS, GREEN_LIGHT)
    paste_glow(cv, green_player(), 228, 45)
    text(cv, 170, 68, "O LEFT  P RIGHT", TEXT)
    text(cv, 170, 77, "Q UP    A DOWN", TEXT)
    text(cv, 170, 86, "SCORES AT THE TOP", DIM)
    # Function keys.
    text(cv, 14, 98, "KEYS", GOLD)
    rows = [("F1", "THIS HELP"), ("F2", "REDEFINE KEYS"), ("F11", "SOFTER SPRITES"), ("F12", "SOLID SPRITES"),
            ("ESC", "TITLE / QUIT")]
    for i, (k, s) in enumerate(rows):
        y = 108 + 12 * i
        keycap(cv, 14, y, k, GOLD, 23)
        text(cv, 42, y + 2, s, TEXT)
    # Rules.
    text(cv, 130, 98, "RULES", GOLD)
    lines = ["EVERY HIT SWAPS SPEEDS.", "THE SIXTH GOAL WINS.", "AT TIME UP THE LEADER",
             "(BOTH, IF LEVEL) GOES TO 5:", "THE NEXT GOAL WINS."]
    for i, s in enumerate(lines):
        text(cv, 130, 108 + 9 * i, s, TEXT)
    text(cv, 130, 155, "1 OR 2: PLAY THE COMPUTER", GOLD)
    text_center(cv, 160, 170, "PRESS A KEY TO GO BACK", DIM)
    return cv


PROMPT_ROWS = (73, 93, 115, 137)  # screen rows 93, 113, 135, 157
MARKER_W, MARKER_H = 24, 14


def keys_picture():
    cv = Canvas(320, 159)
    overlay_background(cv, 1, 158, GOLD)
    cv.hline(0, 319, 0, BLACK)
    fancy_center(cv, 160, 8, "REDEFINE KEYS", 2, WHITE, GOLD, (1, 1, 3))
    text_center(cv, 160, 28, "PRESS A KEY WHERE THE ? SHOWS", TEXT)
    text_center(cv, 160, 37, "THE NEW KEYS ARE ADDED TO ZORBIT.INI", DIM)
    text(cv, 22, 55, "RED - SIDE 1", RED)
    text(cv, 150, 55, "GREEN - SIDE 2", GREEN)
    for x0, x1 in ((22, 93), (150, 229)):
        for x in range(x0, x1 + 1):
            cv.put(x, 63, DIM)
    labels = ("LEFT", "RIGHT", "UP", "DOWN")
    for i, y in enumerate(PROMPT_ROWS):
        for (mx, c) in ((90, RED_LIGHT), (205, GREEN_LIGHT)):
            text_right(cv, mx - 5, y + 4, labels[i], c)
            cv.frame(mx, y, mx + MARKER_W - 1, y + MARKER_H - 1, STEEL)
            cv.rect(mx + 1, y + 1, mx + MARKER_W - 2, y + MARKER_H - 2, (1, 1, 3))
    return cv


def marker(waiting):
    cv = Canvas(MARKER_W, MARKER_H)
    accent = GOLD if waiting else GREEN
    cv.rect(1, 1, MARKER_W - 2, MARKER_H - 2, scale5(accent, 0.3))
    cv.frame(0, 0, MARKER_W - 1, MARKER_H - 1, accent)
    cv.hline(1, MARKER_W - 2, 1, mix(accent, WHITE, 0.5))
    label = "?" if waiting else "OK"
    text_center(cv, MARKER_W // 2, 4, label, WHITE)
    return cv


# ---------------------------------------------------------------- small font and window icon

FONT_FIRST, FONT_COUNT = 32, 64  # ASCII space to underscore; lower case is drawn as upper


def small_font():
    """One row of 6 x 8 cells, white on black (black is transparent when drawn)."""
    cv = Canvas(FONT_COUNT * pixfont.ADVANCE, 8)
    for i in range(FONT_COUNT):
        text(cv, i * pixfont.ADVANCE, 0, chr(FONT_FIRST + i), WHITE)
    return cv


def window_icon(sprite):
    """The red player, as large as a 32 x 32 icon takes it whole."""
    cv = Canvas(32, 32)
    zoom = max(1, min(32 // sprite.w, 32 // sprite.h))
    ox, oy = (32 - sprite.w * zoom) // 2, (32 - sprite.h * zoom) // 2
    for y in range(sprite.h * zoom):
        for x in range(sprite.w * zoom):
            c = sprite.get(x // zoom, y // zoom)
            if c != (0, 0, 0):
                cv.put(ox + x, oy + y, c)
    return cv


# ---------------------------------------------------------------- main


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else "assets/images")
    out.mkdir(parents=True, exist_ok=True)
    red, green = red_player(), green_player()
    jobs = [
        ("07_red_player.png", red, False),
        ("08_green_player.png", green, False),
        ("09_ball.png", ball(), False),
        ("10_information.png", info_picture(), False),
        ("11_title.png", title_picture(), False),
        ("12_title_panels.png", title_panels(), False),
        ("13_pitch.png", pitch(), False),
        ("14_goal_side1_red.png", goal_picture(1), True),
        ("15_goal_side2_green.png", goal_picture(2), True),
        ("16_wipe_bar_upper.png", wipe_bar(True), False),
        ("17_wipe_bar_lower.png", wipe_bar(False), False),
        ("18_redefine_keys.png", keys_picture(), False),
        ("19_key_taken.png", marker(False), False),
        ("20_key_waiting.png", marker(True), False),
        ("21_clock_bar.png", clock_bar(), False),
        ("22_score_marks.png", score_marks(), False),
        # 23 is drawn at the green player (31 wide), 24 at the red player (43 wide).
        ("23_goal_anim_green.png", goal_strip(31, 11, 8, green, [GREEN, GREEN_LIGHT, CYAN], 23), False),
        ("24_goal_anim_red.png", goal_strip(43, 3, 11, red, [RED, GOLD, RED_LIGHT], 24), False),
        ("25_end_match_over.png", end_picture_a(), True),
        ("26_end_side1_red_wins.png", end_picture_side(1), True),
        ("27_end_side2_green_wins.png", end_picture_side(2), True),
        ("28_end_press_key.png", end_picture_b(), True),
        ("29_time_up.png", time_up_a(), True),
        ("30_time_up_rule.png", time_up_b(), True),
        ("31_small_font.png", small_font(), False),
        ("32_window_icon.png", window_icon(red), False),
    ]
    for name, cv, zoom_safe in jobs:
        cv.save(out / name, zoom_safe)


if __name__ == "__main__":
    main()
