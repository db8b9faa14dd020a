#!/usr/bin/env python3
"""Draws rectangles with matplotlib's Agg renderer and prints how long it took.

Usage: agg_markers.py RECTS WIDTH HEIGHT

RECTS holds float64 quadruples (left, top, right, bottom) in pixels of a WIDTH x HEIGHT picture,
y growing downwards. They are drawn filled black without antialiasing, as the plot's markers,
two ways: as the rectangles themselves (a PolyCollection) and as square scatter markers of the
same area (Agg stamps one marker shape, the fastest way it has). Each is timed as the draw of a
figure holding them less the draw of the same figure without them. Prints one line per way:
"<way> <processor seconds> <wall seconds>". Exits 3 when matplotlib is not installed.
"""
import sys
import time

try:
    import numpy as np
    import matplotlib

    matplotlib.use("Agg")
    from matplotlib.collections import PolyCollection
    from matplotlib.figure import Figure
    from matplotlib.backends.backend_agg import FigureCanvasAgg
except ImportError:
    print("matplotlib is not installed", file=sys.stderr)
    sys.exit(3)

DPI = 72.0  # one point is one pixel


def figure(width, height):
    fig = Figure(figsize=(width / DPI, height / DPI), dpi=DPI)
    canvas = FigureCanvasAgg(fig)
    ax = fig.add_axes([0, 0, 1, 1])
    ax.set_xlim(0, width)
    ax.set_ylim(height, 0)
    ax.set_axis_off()
    return canvas, ax


def timed_draw(canvas):
    processor = time.process_time()
    wall = time.perf_counter()
    canvas.draw()
    return time.process_time() - processor, time.perf_counter() - wall


def measure(width, height, add):
    canvas, ax = figure(width, height)
    empty = timed_draw(canvas)
    add(ax)
    full = timed_draw(canvas)
    return full[0] - empty[0], full[1] - empty[1]


def main():
    path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rects = np.fromfile(path, dtype=np.float64).reshape(-1, 4)
    left, top, right, bottom = rects.T

    def polygons(ax):
        vertices = np.stack(
            [np.stack([left, top], 1), np.stack([right, top], 1),
             np.stack([right, bottom], 1), np.stack([left, bottom], 1)], 1)
        ax.add_collection(PolyCollection(vertices, facecolors="black", edgecolors="none",
                                         linewidths=0, antialiaseds=False))

    def squares(ax):
        area = (right - left) * (bottom - top)
        ax.scatter((left + right) / 2, (top + bottom) / 2, s=area, marker="s", c="black",
                   linewidths=0, antialiased=False)

    for name, add in (("polygons", polygons), ("squares", squares)):
        processor, wall = measure(width, height, add)
        print(f"{name} {processor:.6f} {wall:.6f}", flush=True)


if __name__ == "__main__":
    main()
