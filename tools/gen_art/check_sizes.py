#!/usr/bin/python3
"""Checks the pictures against the places the game draws them.

Zoomed pictures must keep columns x .. x + w + 1 and rows y - half .. y + half on the
320 x 200 screen; other pictures have fixed or minimum sizes.
Usage: check_sizes.py IMAGEDIR
"""
import sys
from pathlib import Path

from PIL import Image

ZOOMS = {  # entry: every (left x, centre row y) it is zoomed at
    14: [(100, 150)], 15: [(100, 50)], 25: [(100, 100), (90, 100)], 26: [(130, 130)],
    27: [(120, 130)], 28: [(160, 150), (150, 150)], 29: [(80, 50)], 30: [(100, 80)],
}
FIXED = {11: (320, 200), 12: (320, 475), 13: (320, 200), 21: (101, 8), 22: (10, 240), 23: (31, 962),
         24: (43, 962), 16: (5, 6), 17: (5, 6)}


def main():
    images = {int(p.name[:2]): Image.open(p) for p in Path(sys.argv[1]).glob("[0-9][0-9]_*.png")}
    bad = 0
    def fail(msg):
        nonlocal bad
        bad += 1
        print("FAIL", msg)
    for e in range(7, 31):
        if e not in images:
            fail("entry %d missing" % e)
    for e, (w, h) in FIXED.items():
        if images[e].size != (w, h):
            fail("entry %d is %s, wants %dx%d" % (e, images[e].size, w, h))
    for e, places in ZOOMS.items():
        w, h = images[e].size
        half = (h + 1) // 2
        for x, y in places:
            if x + w + 1 > 319 or y - half < 0 or y + half > 199:
                fail("entry %d (%dx%d) does not fit zoomed at (%d, %d)" % (e, w, h, x, y))
        if w % 3 or w < h:
            print("note: entry %d (%dx%d) ends its zoom slightly scaled" % (e, w, h))
    w7, w8 = images[7].size, images[8].size
    if w7 != w8 or not 14 <= w7[0] <= 24 or w7[0] != w7[1]:
        fail("player sprites %s %s" % (w7, w8))
    if not (8 <= images[9].size[0] <= 12 and images[9].size[0] == images[9].size[1]):
        fail("ball %s" % (images[9].size,))
    if images[10].size[0] != 320 or images[10].size[1] < 181:
        fail("information picture %s" % (images[10].size,))
    if images[18].size[0] != 320 or images[18].size[1] < 159:
        fail("keys picture %s" % (images[18].size,))
    for e in (19, 20):
        if images[e].size[1] > 21:
            fail("marker %d too tall" % e)
    print("%d problems" % bad)
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
