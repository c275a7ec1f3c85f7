#!/usr/bin/python3
"""Plot of the relative error of BesselK1 against x.

Reads the points written by the accuracy scanner and draws the signed
relative error against x on a logarithmic axis: the whole range
[1e-300, 700] above, the three tabulated regions [0.5, 700] below, with the
four regions shaded and the bound of 1e-15 drawn.

Usage (from the repository root, after building the scanner):
  build/release/bin/scan_bessel_k1 --points build/bessel_k1_points.csv
  /usr/bin/python3 tools/plot_bessel_k1_error.py build/bessel_k1_points.csv docs/bessel_k1_error.png
"""
import csv
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

BOUNDARIES = (0.8, 5.5, 12.5)
REGIONS = (
    ("small", 1e-300, 0.8, "#e8f0fb"),
    ("middle", 0.8, 5.5, "#fbeee6"),
    ("high", 5.5, 12.5, "#e9f6e8"),
    ("asymptotic", 12.5, 700.0, "#f3e9f7"),
)
BOUND = 1e-15


def read_points(path):
    xs, errs = [], []
    with open(path) as f:
        for row in csv.DictReader(f):
            xs.append(float(row["x"]))
            errs.append(float(row["relative_error"]))
    return xs, errs


def draw(ax, xs, errs, lo, hi, label_regions):
    for name, a, b, colour in REGIONS:
        a, b = max(a, lo), min(b, hi)
        if a >= b:
            continue
        ax.axvspan(a, b, color=colour, zorder=0)
        if label_regions:
            centre = (a * b) ** 0.5
            ax.text(centre, 0.93, name, transform=ax.get_xaxis_transform(), ha="center", va="top", fontsize=9)
    for x in BOUNDARIES:
        if lo < x < hi:
            ax.axvline(x, color="0.4", lw=0.8, ls="--", zorder=1)
    for y in (BOUND, -BOUND):
        ax.axhline(y * 1e16, color="#c0392b", lw=0.8, zorder=1)
    sel = [(x, e * 1e16) for x, e in zip(xs, errs) if lo <= x <= hi]
    ax.scatter([p[0] for p in sel], [p[1] for p in sel], s=0.3, lw=0, color="#1f4e79", rasterized=True, zorder=2)
    ax.set_xscale("log")
    ax.set_xlim(lo, hi)
    ax.set_ylim(-11, 11)
    ax.set_ylabel("relative error / 1e-16")


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = sys.argv[2] if len(sys.argv) > 2 else "docs/bessel_k1_error.png"
    xs, errs = read_points(sys.argv[1])
    fig, (top, bottom) = plt.subplots(2, 1, figsize=(10, 7.5), dpi=110)
    draw(top, xs, errs, 1e-300, 700.0, label_regions=False)
    top.text(1e-150, 0.93, "small", transform=top.get_xaxis_transform(), ha="center", va="top", fontsize=9)
    top.set_title("BesselK1: relative error against K1 (quad-precision reference); red: bound 1e-15")
    draw(bottom, xs, errs, 0.5, 700.0, label_regions=True)
    bottom.set_xlabel("x")
    fig.tight_layout()
    fig.savefig(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
