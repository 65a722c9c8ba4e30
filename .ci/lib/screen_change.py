#!/usr/bin/env python3
"""What changed on the screen between two screenshots of the same size.

    screen_change.py WIDTH HEIGHT BEFORE.rgba AFTER.rgba

Both are raw pictures of WIDTH x HEIGHT pixels, four bytes each (as
ImageMagick writes rgba:FILE). Prints one line:

    changed N colours C box X Y W H

N is the number of pixels that differ (by more than 8 in a channel: a
background drawn again with another dither has not changed), C the number
of distinct colours among them in AFTER, and X Y W H the rectangle where
the change is dense: the columns and rows holding at least a quarter as
many changed pixels as the fullest column or row, so that a clock or a
status bar redrawn between the two screenshots does not widen the rectangle
of a window. With nothing changed the box is 0 0 0 0. Exit 2 on unreadable
input or a size that does not match.
"""
import sys
from array import array

NEAR = 8


def read_raw(path, width, height):
    with open(path, "rb") as f:
        data = f.read()
    if len(data) != width * height * 4:
        raise ValueError(f"{path}: {len(data)} bytes, not {width} x {height} x 4")
    pixels = array("I")
    pixels.frombytes(data)
    return pixels


def far(p, q):
    """Whether two pixels differ by more than NEAR in a channel: a desktop
    background drawn again with a new dither is not a change."""
    return any(abs(((p >> shift) & 0xFF) - ((q >> shift) & 0xFF)) > NEAR for shift in (0, 8, 16))


def change(width, height, old, new):
    columns = [0] * width
    rows = [0] * height
    colours = set()
    for y in range(height):
        a = old[y * width:(y + 1) * width]
        b = new[y * width:(y + 1) * width]
        if a == b:
            continue
        xs = [x for x, (p, q) in enumerate(zip(a, b)) if p != q and far(p, q)]
        for x in xs:
            columns[x] += 1
        colours.update(b[x] for x in xs)
        rows[y] = len(xs)
    return sum(rows), len(colours), dense(columns), dense(rows)


def dense(counts):
    """(first, length) of the span from the first to the last index whose
    count is at least a quarter of the largest, (0, 0) when all are 0."""
    most = max(counts)
    if most == 0:
        return 0, 0
    full = [i for i, n in enumerate(counts) if 4 * n >= most]
    return full[0], full[-1] - full[0] + 1


def main():
    if len(sys.argv) != 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        width, height = int(sys.argv[1]), int(sys.argv[2])
        before = read_raw(sys.argv[3], width, height)
        after = read_raw(sys.argv[4], width, height)
    except (OSError, ValueError) as error:
        print(f"screen_change: {error}", file=sys.stderr)
        return 2
    changed, colours, (x, w), (y, h) = change(width, height, before, after)
    print(f"changed {changed} colours {colours} box {x} {y} {w} {h}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
