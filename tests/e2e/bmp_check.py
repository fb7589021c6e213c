#!/usr/bin/env python3
"""Writes a white BMP, or checks the traced plan in a saved one.

make <path> <w> <h>   a white 24-bit BMP
check <path>          the wall and door traced by run_e2e.sh are there
"""
import struct
import sys


def make(path, w, h):
    stride = (w * 3 + 3) & ~3
    size = 54 + stride * h
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", size, 0, 0, 54))
        f.write(struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, stride * h, 7874, 7874, 0, 0))
        f.write((b"\xff" * (w * 3) + b"\0" * (stride - w * 3)) * h)


class Bmp:
    def __init__(self, path):
        data = open(path, "rb").read()
        if data[:2] != b"BM":
            raise SystemExit("not a BMP")
        self.offset = struct.unpack_from("<I", data, 10)[0]
        self.w, self.h = struct.unpack_from("<ii", data, 18)
        self.bpp = struct.unpack_from("<H", data, 28)[0]
        if self.bpp not in (24, 32):
            raise SystemExit("unexpected depth %d" % self.bpp)
        self.topdown = self.h < 0
        self.h = abs(self.h)
        self.stride = (self.w * self.bpp // 8 + 3) & ~3
        self.data = data

    def rgb(self, x, y):
        row = y if self.topdown else self.h - 1 - y
        i = self.offset + row * self.stride + x * (self.bpp // 8)
        b, g, r = self.data[i], self.data[i + 1], self.data[i + 2]
        return r, g, b


def check(path):
    img = Bmp(path)
    errors = []

    def black(x, y):
        return img.rgb(x, y) == (0, 0, 0)

    def white(x, y):
        return img.rgb(x, y) == (255, 255, 255)

    def black_near(x, y, r=2):
        return any(black(x + dx, y + dy) for dx in range(-r, r + 1) for dy in range(-r, r + 1)
                   if 0 <= x + dx < img.w and 0 <= y + dy < img.h)

    def expect(cond, what):
        if not cond:
            errors.append(what)

    if (img.w, img.h) != (300, 320):
        raise SystemExit("size %dx%d" % (img.w, img.h))
    # Wall 1, box (100, 100, 180, 120): two 2-pixel faces, open ends.
    for x in (100, 140, 179):
        for y in (100, 101, 118, 119):
            expect(black(x, y), "wall 1 face at %d,%d" % (x, y))
        expect(white(x, 102) and white(x, 117), "wall 1 face thicker than 2 at x %d" % x)
        expect(white(x, 110), "wall 1 inside at x %d" % x)
    expect(white(99, 100) and white(180, 100), "wall 1 longer than traced")
    # Wall 2, box (100, 200, 180, 220), then the door below it: square
    # (100, 221, 180, 300), leaf on its left edge, swing about (100, 221).
    for y in (200, 201, 218, 219):
        expect(black(140, y), "wall 2 face at 140,%d" % y)
    expect(white(140, 210), "wall 2 inside")
    for y in range(230, 296, 8):
        expect(black_near(100, y, 1), "door leaf at 100,%d" % y)
    expect(black_near(157, 278), "door swing at 45 degrees")
    expect(white(170, 290), "door square beyond the swing")
    expect(white(130, 250), "door square inside the swing")
    expect(all(white(x, y) for x in range(100, 180, 4) for y in range(125, 196, 4)), "drawing above wall 2")
    # Nothing red (the start markers) is left anywhere.
    red = [(x, y) for y in range(img.h) for x in range(img.w) if img.rgb(x, y) == (255, 0, 0)]
    expect(not red, "red marker left at %s" % (red[:1],))
    if errors:
        raise SystemExit("plan check failed: " + "; ".join(errors))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    else:
        check(sys.argv[2])
