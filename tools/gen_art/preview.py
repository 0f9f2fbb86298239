#!/usr/bin/python3
"""Composes in-game views from the generated pictures, for review at 3x.

Sprites are blended the way the game blends them: a pixel whose 5-bit channels
are all at or below threshold/2 mixes with the pitch by its strongest level/64.
Usage: preview.py IMAGEDIR OUTDIR
"""
import sys
from pathlib import Path

from PIL import Image


def to5(c):
    return tuple(v >> 3 for v in c)


def to8(c):
    return tuple((v << 3) | (v >> 2) for v in c)


def put_alpha(dst, src, x0, y0, threshold):
    for y in range(src.height):
        for x in range(src.width):
            s = to5(src.getpixel((x, y)))
            if not (0 <= x0 + x < dst.width and 0 <= y0 + y < dst.height):
                continue
            lv = [v * 2 for v in s]
            if max(lv) > threshold:
                dst.putpixel((x0 + x, y0 + y), to8(s))
                continue
            r, g, b = lv
            if r > g and r > b:
                m = r
            elif g > r and g > b:
                m = g
            elif b > r and b > g:
                m = b
            else:
                m = r
            d = to5(dst.getpixel((x0 + x, y0 + y)))
            out = tuple(min(31, (d[i] * (64 - m) >> 6) + (s[i] * m >> 6)) for i in range(3))
            dst.putpixel((x0 + x, y0 + y), to8(out))


def put_zero_transparent(dst, src, x0, y0):
    for y in range(src.height):
        for x in range(src.width):
            c = src.getpixel((x, y))
            if c != (0, 0, 0):
                dst.putpixel((x0 + x, y0 + y), c)


def main():
    src = Path(sys.argv[1])
    out = Path(sys.argv[2])
    out.mkdir(parents=True, exist_ok=True)
    img = {p.name[:2]: Image.open(p).convert("RGB") for p in src.glob("*.png")}
    # A match in progress on the plain pitch.
    scene = img["13"].copy()
    put_alpha(scene, img["07"], 80, 90, 15)
    put_alpha(scene, img["08"], 240, 90, 15)
    put_alpha(scene, img["09"], 160, 90, 15)
    put_alpha(scene, img["07"], 150, 20, 15)
    put_alpha(scene, img["09"], 158, 190, 15)
    for i in range(3):
        put_alpha(scene, img["22"].crop((0, 8 * (i * 7), 10, 8 * (i * 7) + 8)), 70 + 12 * i, 0, 22)
    for i in range(2):
        put_alpha(scene, img["22"].crop((0, 8 * (15 + i), 10, 8 * (16 + i))), 70 + 12 * i, 191, 22)
    clock = img["21"]
    bar = Image.new("RGB", (101, 8))
    cells = 50
    bar.paste(clock.crop((0, 0, 9 + cells, 8)), (0, 0))
    bar.paste(clock.crop((93, 0, 101, 8)), (9 + cells, 0))
    put_alpha(scene, bar, 215, 0, 15)
    # Goal bursts around both players: frame 8 of each strip.
    burst = scene.copy()
    put_alpha(burst, img["24"].crop((0, 32 * 8, 43, 32 * 8 + 34)), 80 - 3, 90 - 11, 22)
    put_alpha(burst, img["23"].crop((0, 32 * 8, 31, 32 * 8 + 34)), 240 - 11, 90 - 8, 22)
    put_zero_transparent(burst, img["14"], 100, 120)
    # End of a match won by side 1, and time-up.
    end = scene.copy()
    for key, x, cy in (("25", 100, 100), ("26", 130, 130), ("28", 160, 150)):
        put_zero_transparent(end, img[key], x, cy - (img[key].height + 1) // 2)
    tu = scene.copy()
    for key, x, cy in (("29", 80, 50), ("30", 100, 80)):
        put_zero_transparent(tu, img[key], x, cy - (img[key].height + 1) // 2)
    # Title with panel 1, and the two overlays.
    title = img["11"].copy()
    title.paste(img["12"].crop((0, 6, 320, 95)), (0, 111))
    for y in range(94, 110):
        for x in range(320):
            r, g, b = title.getpixel((x, y))
            title.putpixel((x, y), (0, g, 0))
    info = scene.copy()
    info.paste(img["10"].crop((0, 1, 320, 181)), (0, 10))
    keys = scene.copy()
    keys.paste(img["18"].crop((0, 1, 320, 159)), (0, 21))
    keys.paste(img["19"], (90, 93))
    keys.paste(img["20"], (90, 113))
    views = {"match": scene, "goal": burst, "end": end, "timeup": tu, "title": title, "info": info, "keys": keys}
    for name, v in views.items():
        v.resize((v.width * 3, v.height * 3), Image.NEAREST).save(out / f"view_{name}.png")
    for name, im in img.items():
        f = 3 if im.width >= 100 else 8
        im.resize((im.width * f, im.height * f), Image.NEAREST).save(out / f"img_{name}.png")


if __name__ == "__main__":
    main()
