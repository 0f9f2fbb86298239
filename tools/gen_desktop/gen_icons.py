#!/usr/bin/python3
"""Draws the desktop icons from the game's own pictures.

Small sizes (16, 32, 48) show the red player alone, so that it stays readable;
larger sizes (64, 128, 256) show it with the ball in front of the upper goal.
Every size is a whole-number enlargement of a 16 or 32 pixel drawing, so the
pixels stay sharp. Sprite pixels are light over black, as the game blends
them: alpha is their brightness up to the orb's edge, which keeps the dark
glow see-through on any background.
window-32.png is the red player for the game's window icon.
Usage: gen_icons.py IMAGES_DIR OUT_DIR   (assets/images packaging/icons)
"""
import sys
from pathlib import Path

from PIL import Image

# The darkest colour of the orb's solid edge; anything darker is glow.
SOLID = 0x4A
CORNER = 4  # rounded-corner radius of the pitch tile, in drawing pixels
EDGE = (0x29, 0x73, 0xA5, 255)  # the pitch's own wall edge, to frame the tile


def glow_alpha(rgb):
    """An opaque sprite pixel over black as a colour and an alpha."""
    level = max(rgb)
    if level == 0:
        return (0, 0, 0, 0)
    alpha = min(1.0, level / SOLID)
    colour = tuple(min(255, round(v / alpha)) for v in rgb)
    return colour + (round(alpha * 255),)


def sprite(path, box=None):
    """The sprite as RGBA, black and glow made see-through."""
    img = Image.open(path).convert("RGB")
    if box:
        img = img.crop(box)
    out = Image.new("RGBA", img.size)
    out.putdata([glow_alpha(p) for p in img.getdata()])
    return out


def rounded_mask(size, radius):
    """Opaque inside a square with rounded corners, see-through outside."""
    mask = Image.new("L", (size, size), 255)
    for y in range(size):
        for x in range(size):
            dx = max(radius - x - 0.5, x + 0.5 - (size - radius), 0)
            dy = max(radius - y - 0.5, y + 0.5 - (size - radius), 0)
            if dx * dx + dy * dy > radius * radius:
                mask.putpixel((x, y), 0)
    return mask


def frame(tile, mask):
    """The tile's outermost pixels in the wall colour, so it stands out on dark panels."""
    size = tile.size[0]

    def inside(x, y):
        return 0 <= x < size and 0 <= y < size and mask.getpixel((x, y))

    for y in range(size):
        for x in range(size):
            near = (inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if inside(x, y) and not all(near):
                tile.putpixel((x, y), EDGE)


def scene(images):
    """32 x 32: the red player below, the ball crossing into the upper goal."""
    pitch = Image.open(images / "13_pitch.png").convert("RGBA")
    tile = pitch.crop((144, 4, 176, 36))
    tile.alpha_composite(sprite(images / "09_ball.png"), (17, 3))
    tile.alpha_composite(sprite(images / "07_red_player.png"), (3, 13))
    mask = rounded_mask(32, CORNER)
    frame(tile, mask)
    tile.putalpha(mask)
    return tile


def window_icon(images):
    """32 x 32 for the window: black is see-through, as in the game's sprites."""
    img = Image.open(images / "07_red_player.png").convert("RGBA").crop((1, 1, 17, 17))
    img = img.resize((32, 32), Image.NEAREST)
    img.putdata([(r, g, b, 0 if r == g == b == 0 else 255) for r, g, b, _ in img.getdata()])
    return img


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: gen_icons.py IMAGES_DIR OUT_DIR")
    images, out = Path(sys.argv[1]), Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    orb = sprite(images / "07_red_player.png", (1, 1, 17, 17))
    big = scene(images)
    for size in (16, 32, 48):
        orb.resize((size, size), Image.NEAREST).save(out / f"zorbit-{size}.png", optimize=True)
    for size in (64, 128, 256):
        big.resize((size, size), Image.NEAREST).save(out / f"zorbit-{size}.png", optimize=True)
    window_icon(images).save(out / "window-32.png", optimize=True)


if __name__ == "__main__":
    main()
