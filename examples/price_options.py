#!/usr/bin/env python3
"""Price examples/options.csv with the Python binding, and plot call prices
against strike for two maturities of one NIG law.

Usage (from the repository, after building):
    LORVANE_LIBRARY=build/release/bin/liblorvane.so PYTHONPATH=python \\
        /usr/bin/python3 examples/price_options.py [OPTIONS.csv] [--plot docs/price_vs_strike.png]
"""
import argparse
import csv
import math
import os
import sys

import lorvane

COLUMNS = ["S", "K", "T", "r", "alpha", "beta", "delta", "mu", "upper"]


def martingale_drift(r, alpha, beta, delta):
    return r - delta * (math.sqrt(alpha ** 2 - beta ** 2) - math.sqrt(alpha ** 2 - (beta + 1) ** 2))


def price_file(path):
    with open(path, newline="") as f:
        rows = list(csv.DictReader(f))
    writer = csv.writer(sys.stdout, lineterminator="\n")
    writer.writerow(COLUMNS + ["price"])
    for row in rows:
        args = [float(row[c]) for c in COLUMNS]
        writer.writerow([row[c] for c in COLUMNS] + [repr(lorvane.NIG_Call_BS_style(*args))])


def plot(output):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    S, r, alpha, beta, delta, upper = 100.0, 0.03, 15.0, -5.0, 0.5, 5.0
    mu = martingale_drift(r, alpha, beta, delta)
    strikes = [60.0 + 0.5 * i for i in range(161)]
    fig, ax = plt.subplots(figsize=(7, 4.5), dpi=110)
    for T, style in ((0.25, "-"), (1.0, "--")):
        prices = [lorvane.NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, upper)
                  for K in strikes]
        ax.plot(strikes, prices, style, label="T = %g" % T)
    intrinsic = [max(S - K, 0.0) for K in strikes]
    ax.plot(strikes, intrinsic, ":", color="grey", label="intrinsic value S - K")
    ax.set_xlabel("strike K")
    ax.set_ylabel("call price")
    ax.set_title("NIG call prices, S = 100, r = 3%%, alpha = %g, beta = %g, delta = %g"
                 % (alpha, beta, delta), fontsize=10)
    ax.legend()
    ax.grid(alpha=0.3)
    fig.tight_layout()
    fig.savefig(output, metadata={"Software": None})
    print("wrote", output, file=sys.stderr)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("options", nargs="?", default=os.path.join(here, "options.csv"))
    parser.add_argument("--plot", metavar="PNG", help="also plot price against strike")
    args = parser.parse_args()
    price_file(args.options)
    if args.plot:
        plot(args.plot)


if __name__ == "__main__":
    main()
