#!/usr/bin/env python3
"""Looks for a picture, exactly, anywhere inside a screenshot.

    find_picture.py WANT.ppm SHOT.ppm

Both are binary PPM (P6, maxval 255). Prints "found at X Y" and exits 0 when
every pixel of WANT appears, unchanged, in one place of SHOT; else prints
"not found" with the fewest differing pixels over the places where WANT's
first row (or failing that, its middle row) matched, and exits 1. Exit 2 on
unreadable input.
"""
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields, pos = [], 0
    # the header: magic, width, height, maxval, separated by blanks and
    # comments, then one blank before the pixels
    while len(fields) < 4:
        while pos < len(data) and data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while end < len(data) and not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"{path}: not a P6 picture with 8-bit channels")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos:pos + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError(f"{path}: cut short")
    return width, height, pixels


def row(picture, y):
    width, _, pixels = picture
    return pixels[y * width * 3:(y + 1) * width * 3]


def differing(want, shot, x, y):
    """Pixels of WANT that differ from SHOT with WANT's corner at (x, y)."""
    w, h, _ = want
    count = 0
    for j in range(h):
        a = row(want, j)
        b = row(shot, y + j)[x * 3:(x + w) * 3]
        if a != b:
            count += sum(1 for i in range(0, w * 3, 3) if a[i:i + 3] != b[i:i + 3])
    return count


def places(want, shot, j):
    """(x, y) corners at which WANT's row j appears in SHOT, on pixel bounds."""
    w, h, _ = want
    sw, sh, _ = shot
    needle = row(want, j)
    for y in range(j, sh - h + j + 1):
        line = row(shot, y)
        at = line.find(needle)
        while at >= 0:
            if at % 3 == 0 and at // 3 + w <= sw:
                yield at // 3, y - j
            at = line.find(needle, at + 1)


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        want, shot = read_ppm(sys.argv[1]), read_ppm(sys.argv[2])
    except (OSError, ValueError) as error:
        print(f"find_picture: {error}", file=sys.stderr)
        return 2
    if want[0] > shot[0] or want[1] > shot[1]:
        print("not found: the picture is larger than the screenshot")
        return 1
    best = None
    for j in (0, want[1] // 2):
        for x, y in places(want, shot, j):
            count = differing(want, shot, x, y)
            if count == 0:
                print(f"found at {x} {y}")
                return 0
            if best is None or count < best[0]:
                best = (count, x, y)
        if best is not None:
            break
    if best is None:
        print("not found: no row of the picture appears in the screenshot")
    else:
        print(f"not found: at best {best[0]} of {want[0] * want[1]} pixels differ, at {best[1]} {best[2]}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
