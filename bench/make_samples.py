#!/usr/bin/env python3
"""Writes the sample image-data files into samples/ (or the folder given as the argument).

imagedata_gradient.txt   a 256 x 64 ramp of values 0..255 in the middle of the grid
imagedata_rings.txt      concentric rings of values 1..11 around the centre
imagedata_grid_full.txt  every one of the 640 x 480 points: diagonal bands 0..4 with grid lines
"""
import math
import os
import sys

WIDTH, HEIGHT = 640, 480


def write(folder, name, triples):
    with open(os.path.join(folder, name), "w", newline="\n") as f:
        f.write("".join("%d %d %d\n" % t for t in triples))


def gradient():
    left, top = (WIDTH - 256) // 2, (HEIGHT - 64) // 2
    return [(left + x, top + y, x) for y in range(64) for x in range(256)]


def rings():
    points = {}
    for ring in range(1, 12):
        radius = ring * 20
        steps = int(2 * math.pi * radius * 2)
        for s in range(steps):
            a = 2 * math.pi * s / steps
            for thickness in (0, 1):
                x = int(round(320 + (radius + thickness) * math.cos(a)))
                y = int(round(240 + (radius + thickness) * math.sin(a)))
                if 0 <= x < WIDTH and 0 <= y < HEIGHT:
                    points[(x, y)] = ring
    return [(x, y, v) for (x, y), v in sorted(points.items(), key=lambda p: (p[0][1], p[0][0]))]


def grid_full():
    triples = []
    for y in range(HEIGHT):
        for x in range(WIDTH):
            v = 3 if x % 32 == 0 or y % 32 == 0 else (x // 64 + y // 48) % 5
            triples.append((x, y, v))
    return triples


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "samples")
    os.makedirs(folder, exist_ok=True)
    write(folder, "imagedata_gradient.txt", gradient())
    write(folder, "imagedata_rings.txt", rings())
    write(folder, "imagedata_grid_full.txt", grid_full())


if __name__ == "__main__":
    main()
