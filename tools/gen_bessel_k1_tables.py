#!/usr/bin/python3
"""Coefficient tables of the Bessel function K1.

Writes special/bessel_k1_tables.h, the five tables that the evaluator in
special/bessel_k1.h reads:

  k1SmallP, k1SmallQ   x < 0.8: K1 = ln(x) * x * P(x^2) + Q(x^2) / x
  k1MidRows[8][15]     0.8 <= x < 5.5: row k serves y = x - 3/x in [k-3, k-2);
                       poly in t = (k-2) - y approximates (x/3) K1(x)
  k1HighRows[8][15]    5.5 <= x < 12.5: row j serves x in [j+5, j+6);
                       poly in t = (j+6) - x approximates K1(x)
  k1AsymRows[5][8]     x >= 12.5: row k serves t = 60/x in [k, k+1);
                       poly in t approximates K1(x) e^x / sqrt(t)

The small-argument tables, row 0 of each row table and every constant term
are fixed values (FIXED_* below) and are copied unchanged. Every other row is
computed here, each in four steps:

 1. The target function of the row is sampled with mpmath (K1 at 40 digits)
    at 48 Chebyshev nodes of the row's interval of t, slightly widened, and
    held as its Chebyshev interpolant; its trailing coefficients are checked
    to be negligible, so the interpolant is the target to about 1e-30.
 2. A Remez exchange, run in mpmath, finds the polynomial of the row's
    degree with the fixed constant term that minimises the maximum relative
    error over the interval. The error curve is evaluated in double-double
    arithmetic on a fine grid.
 3. The coefficients are rounded to double.
 4. The rounded coefficients are refined one at a time: each is moved to
    neighbouring doubles (up to MAX_ULP_STEP units in the last place) while
    that lowers the maximum relative error, against K1, of the complete
    double-precision evaluation (variable reduction, Horner's rule in the
    evaluator's order, final scaling) over a dense sample of double
    arguments of the row; ties go to the smaller root-mean-square error.
    The exponential of the asymptotic form is taken correctly rounded.

Everything is deterministic: the same mpmath and IEEE double arithmetic give
the same file. --check regenerates into memory and compares with the file on
disk (exit status 1 on any difference); --report prints the per-row errors.

Usage: /usr/bin/python3 tools/gen_bessel_k1_tables.py [--check] [--report] [--output PATH]
(Debian's python3 with python3-mpmath and python3-numpy.)
"""
import argparse
import math
import os
import sys

import mpmath
import numpy as np

COMMAND = "/usr/bin/python3 tools/gen_bessel_k1_tables.py"
REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEFAULT_OUTPUT = os.path.join(REPO, "special", "bessel_k1_tables.h")

mpmath.mp.dps = 40

CHEB_NODES = 48            # interpolation nodes per row
REMEZ_GRID = 4000          # points of the error curve per Remez pass
TUNE_SAMPLES = 1 << 15     # double arguments per row in the refinement
MAX_ULP_STEP = 3

# Region boundaries and the constants of the reduced variables.
SMALL_END = 0.8
MID_END = 5.5
HIGH_END = 12.5
MID_SHIFT = 3.0
ASYM_SCALE = 60.0

# ---------------------------------------------------------------------------
# Fixed coefficients, highest power first.

FIXED_SMALL_P = [
    1.5151605362537936e-13, 3.363790951353651e-11, 5.6514041131016825e-09,
    6.781684025506954e-07, 5.4253472222259224e-05, 0.002604166666666664,
    0.0625, 0.5,
]
FIXED_SMALL_Q = [
    -8.97903033847487e-11, -1.4029047449249185e-08, -1.5592893752540999e-06,
    -0.00011253607018469018, -0.004642182766501158, -0.0853707197286484,
    -0.3079657578292063, 1.0,
]
FIXED_MID_ROW0 = [
    -9.405546189663057e-12, 3.1307934665844665e-11, 4.2005295001519244e-10,
    -4.163619677967982e-09, 1.4483026181700966e-08, 1.1661000205428817e-08,
    -3.502399672494305e-07, 1.4404279316339004e-06, 5.358156415715824e-07,
    -3.524975403861233e-05, 0.00017150324075631643, -4.127636261123919e-05,
    -0.00469431109796366, 0.035085369853392355, 0.2006357433990782,
]
FIXED_HIGH_ROW0 = [
    4.528196802588941e-12, 1.0806749918195271e-11, 9.620097272871767e-11,
    5.721422706362527e-10, 3.6077804282954824e-09, 2.2465236858536682e-08,
    1.3676961264308734e-07, 7.9561767489532e-07, 4.301438006561555e-06,
    2.0921713905550285e-05, 8.807918395059017e-05, 0.0003054941440883025,
    0.0008129571561392789, 0.001467980947635708, 0.001343919717735509,
]
FIXED_ASYM_ROW0 = [
    9.237155464997958e-14, -2.311133619578841e-12, 5.772871032664983e-11,
    -1.8002298130091374e-09, 7.681037501051714e-08, -5.266997375219382e-06,
    0.0010112634961227402, 0.1618021593796416,
]
FIXED_MID_CONST = [
    0.2006357433990782, 0.1611028430231509, 0.11566544716132847, 0.072651643500517,
    0.040156431128194184, 0.020048622219583454, 0.009304445081573926, 0.004104291910666576,
]
FIXED_HIGH_CONST = [
    0.001343919717735509, 0.00045418248688489695, 0.00015536921180500115,
    5.363701637945195e-05, 1.8648773453825585e-05, 6.520860674580886e-06,
    2.290757464767188e-06, 8.078588412202347e-07,
]
FIXED_ASYM_CONST = [
    0.1618021593796416, 0.16180215937970716, 0.1618021593826341,
    0.16180215941108228, 0.16180215954783128,
]

# ---------------------------------------------------------------------------
# Double-double arithmetic on numpy arrays (value = hi + lo, |lo| <= ulp(hi)/2).
# numpy evaluates every operation in IEEE double with round-to-nearest and
# never fuses a multiply with an add, which these error-free transformations
# rely on.

SPLITTER = 134217729.0  # 2^27 + 1


def two_sum(a, b):
    s = a + b
    bb = s - a
    return s, (a - (s - bb)) + (b - bb)


def fast_two_sum(a, b):
    s = a + b
    return s, b - (s - a)


def split(a):
    c = SPLITTER * a
    hi = c - (c - a)
    return hi, a - hi


def two_prod(a, b):
    p = a * b
    ah, al = split(a)
    bh, bl = split(b)
    return p, ((ah * bh - p) + ah * bl + al * bh) + al * bl


def dd_add(a, b):
    s, e = two_sum(a[0], b[0])
    t, f = two_sum(a[1], b[1])
    s, e = fast_two_sum(s, e + t)
    return fast_two_sum(s, e + f)


def dd_neg(a):
    return -a[0], -a[1]


def dd_mul(a, b):
    p, e = two_prod(a[0], b[0])
    return fast_two_sum(p, e + (a[0] * b[1] + a[1] * b[0]))


def dd_div_d(numerator, d):
    """numerator / d for doubles, as double-double."""
    q1 = numerator / d
    p, e = two_prod(q1, d)
    r_hi, r_lo = two_sum(numerator - p, -e)
    q2 = (r_hi + r_lo) / d
    return fast_two_sum(q1, q2)


def dd_sqrt(a):
    s = np.sqrt(a[0])
    p, e = two_prod(s, s)
    r = dd_add(a, (-p, -e))
    return fast_two_sum(s, (r[0] + r[1]) / (2.0 * s))


def dd_from_mp(values):
    hi = np.array([float(v) for v in values])
    lo = np.array([float(v - mpmath.mpf(h)) for v, h in zip(values, hi)])
    return hi, lo


def dd_to_mp(a, i):
    return mpmath.mpf(float(a[0][i])) + mpmath.mpf(float(a[1][i]))


# ---------------------------------------------------------------------------
# Rows: the target of each row as a function of its polynomial variable t.


class Row:
    def __init__(self, table, index, degree, constant, t_lo, t_hi, fixed=None):
        self.table, self.index, self.degree = table, index, degree
        self.constant = constant
        self.t_lo, self.t_hi = t_lo, t_hi
        self.fixed = fixed

    @property
    def name(self):
        return "%s row %d" % (self.table, self.index)

    def target(self, t):
        """The function the row's polynomial approximates, at mp value t."""
        if self.table == "k1MidRows":
            y = (self.index - 2) - t
            x = (y + mpmath.sqrt(y * y + 12)) / 2
            return x / 3 * mpmath.besselk(1, x)
        if self.table == "k1HighRows":
            return mpmath.besselk(1, (self.index + 6) - t)
        x = ASYM_SCALE / t
        return mpmath.besselk(1, x) * mpmath.exp(x) / mpmath.sqrt(t)


def mid_x(y):
    return (y + math.sqrt(y * y + 12.0)) / 2.0


def make_rows():
    rows = []
    # Middle rows: t in (0, 1]; the last row only down to the region's end.
    for k in range(8):
        t_lo = 0.0 if k < 7 else (k - 2) - (MID_END - MID_SHIFT / MID_END)
        rows.append(Row("k1MidRows", k, 14, FIXED_MID_CONST[k], t_lo, 1.0,
                        FIXED_MID_ROW0 if k == 0 else None))
    # High rows: t in (0, 1]; row 0 starts at 5.5 (t <= 0.5), row 7 ends at 12.5.
    for j in range(8):
        t_lo, t_hi = (0.5, 1.0) if j == 7 else (0.0, 0.5 if j == 0 else 1.0)
        rows.append(Row("k1HighRows", j, 14, FIXED_HIGH_CONST[j], t_lo, t_hi,
                        FIXED_HIGH_ROW0 if j == 0 else None))
    # Asymptotic rows: t = 60/x in [k, k+1); the last row ends at 60/12.5.
    for k in range(5):
        t_hi = ASYM_SCALE / HIGH_END if k == 4 else k + 1.0
        rows.append(Row("k1AsymRows", k, 7, FIXED_ASYM_CONST[k], float(k), t_hi,
                        FIXED_ASYM_ROW0 if k == 0 else None))
    return rows


# ---------------------------------------------------------------------------
# Chebyshev interpolant of a row's target, evaluated in double-double.


class Interpolant:
    def __init__(self, row):
        pad = 1e-6
        a = mpmath.mpf(row.t_lo) - pad
        b = mpmath.mpf(row.t_hi) + pad
        if row.table == "k1AsymRows" and row.index == 0:
            a = mpmath.mpf(0)  # t = 0 is x = infinity; the nodes stay inside
        n = CHEB_NODES
        self.mid = (a + b) / 2
        self.half = (b - a) / 2
        angles = [mpmath.pi * (i + mpmath.mpf(1) / 2) / n for i in range(n)]
        values = [row.target(self.mid + self.half * mpmath.cos(th)) for th in angles]
        coef = []
        for j in range(n):
            s = mpmath.fsum(v * mpmath.cos(j * th) for v, th in zip(values, angles))
            coef.append(s * 2 / n)
        coef[0] /= 2
        tail = max(abs(c) for c in coef[-3:]) / abs(coef[0])
        if tail > 1e-30:
            raise RuntimeError("%s: Chebyshev interpolant not converged (%s)"
                               % (row.name, mpmath.nstr(tail, 3)))
        self.coef = coef
        self.coef_dd = dd_from_mp(coef)
        self.mid_dd = dd_from_mp([self.mid])
        self.inv_half_dd = dd_from_mp([1 / self.half])
        # One spot check against mpmath away from the nodes.
        t = a + (b - a) * mpmath.mpf("0.3141592653589793")
        direct = row.target(t)
        approx = self.eval_mp(t)
        if abs(approx / direct - 1) > 1e-28:
            raise RuntimeError("%s: interpolant off by %s" % (row.name, mpmath.nstr(approx / direct - 1, 3)))

    def eval_mp(self, t):
        u = (t - self.mid) / self.half
        b1 = b2 = mpmath.mpf(0)
        for c in reversed(self.coef[1:]):
            b1, b2 = c + 2 * u * b1 - b2, b1
        return self.coef[0] + u * b1 - b2

    def eval_dd(self, t):
        """Target at double-double t (arrays)."""
        u = dd_mul(dd_add(t, dd_neg(self.mid_dd)), self.inv_half_dd)
        two_u = (2.0 * u[0], 2.0 * u[1])
        zero = np.zeros_like(t[0])
        b1 = (zero, zero)
        b2 = (zero, zero)
        ch, cl = self.coef_dd
        for j in range(len(ch) - 1, 0, -1):
            b0 = dd_add(dd_add((ch[j] + zero, cl[j] + zero), dd_mul(two_u, b1)), dd_neg(b2))
            b1, b2 = b0, b1
        return dd_add(dd_add((ch[0] + zero, cl[0] + zero), dd_mul(u, b1)), dd_neg(b2))


# ---------------------------------------------------------------------------
# Remez exchange for the minimax relative error with a fixed constant term.


def poly_dd(coef_mp, t):
    """Polynomial with mp coefficients (highest power first) at dd t."""
    ch, cl = dd_from_mp(coef_mp)
    zero = np.zeros_like(t[0])
    p = (ch[0] + zero, cl[0] + zero)
    for i in range(1, len(ch)):
        p = dd_add(dd_mul(p, t), (ch[i] + zero, cl[i] + zero))
    return p


def relative_error_curve(coef_mp, interp, t):
    f = interp.eval_dd(t)
    p = poly_dd(coef_mp, t)
    d = dd_add(p, dd_neg(f))
    return (d[0] + d[1]) / f[0]


def alternating_extrema(err, n):
    """Indices of n alternating-sign local extrema of err, the largest kept."""
    idx = []
    start = 0
    m = len(err)
    while start < m:
        sign = err[start] >= 0
        end = start
        while end + 1 < m and (err[end + 1] >= 0) == sign:
            end += 1
        seg = np.abs(err[start:end + 1])
        idx.append(start + int(np.argmax(seg)))
        start = end + 1
    while len(idx) > n:
        if abs(err[idx[0]]) < abs(err[idx[-1]]):
            idx.pop(0)
        else:
            idx.pop()
    return idx


def chebyshev_point(row, i, n):
    """i-th of the n + 1 Chebyshev extrema on [t_lo, t_hi], from t_lo up.

    Taken from mpmath rather than numpy, whose vectorised cosine may differ
    in the last bit between processors; the file must not."""
    u = (1 - mpmath.cos(mpmath.pi * i / n)) / 2
    return row.t_lo + (row.t_hi - row.t_lo) * u


def remez(row, interp):
    d = row.degree
    c = mpmath.mpf(row.constant)
    # Fine grid clustered towards the ends, as the error curve is.
    grid = np.array([float(chebyshev_point(row, i, REMEZ_GRID - 1)) for i in range(REMEZ_GRID)])
    grid_dd = (grid, np.zeros_like(grid))
    f_grid = interp.eval_dd(grid_dd)
    # d free coefficients plus the level: d + 1 reference points. With the
    # constant term fixed at the target's value at t = 0, the error vanishes
    # there, so the first reference point starts inside the interval.
    ref = [float(chebyshev_point(row, i + 1, d + 1)) for i in range(d + 1)]
    ref_idx = [int(np.argmin(np.abs(grid - r))) for r in ref]
    best = None
    for _ in range(30):
        ts = [mpmath.mpf(float(grid[i])) for i in ref_idx]
        fs = [dd_to_mp(f_grid, i) for i in ref_idx]
        a = mpmath.matrix(d + 1, d + 1)
        rhs = mpmath.matrix(d + 1, 1)
        for r, (t, f) in enumerate(zip(ts, fs)):
            for j in range(1, d + 1):
                a[r, j - 1] = t ** j
            a[r, d] = -(-1) ** r * f
            rhs[r] = f - c
        sol = mpmath.lu_solve(a, rhs)
        coef = [sol[j - 1] for j in range(d, 0, -1)] + [c]
        err = relative_error_curve(coef, interp, grid_dd)
        peak = float(np.max(np.abs(err)))
        level = abs(float(sol[d]))
        if best is None or peak < best[0]:
            best = (peak, coef)
        if peak <= level * 1.001 + 1e-22:
            break
        new_idx = alternating_extrema(err, d + 1)
        if len(new_idx) < d + 1 or new_idx == ref_idx:
            break
        ref_idx = new_idx
    return best[1], best[0]


# ---------------------------------------------------------------------------
# The evaluator in double, vectorised, exactly as the library computes it.


def horner(coef, t):
    """p = c0 t; p = (p + ci) t ...; p + c_last -- the library's order."""
    p = coef[0] * t
    for c in coef[1:-1]:
        p = (p + c) * t
    return p + coef[-1]


class Sample:
    """Double arguments of one row with their reduced variables and K1."""

    def __init__(self, row, interp, xs):
        xs = np.unique(xs)
        if row.table == "k1MidRows":
            v = MID_SHIFT / xs
            y = xs - v
            k = np.trunc(y + MID_SHIFT).astype(np.int64)
            keep = k == row.index
            xs, v, y = xs[keep], v[keep], y[keep]
            self.t = (row.index - 2.0) - y
            self.scale = v
            # Exact t = (k-2) - x + 3/x and K1 = target * 3/x.
            t_exact = dd_add(two_sum(np.full_like(xs, row.index - 2.0), -xs), dd_div_d(MID_SHIFT, xs))
            ref = dd_mul(interp.eval_dd(t_exact), dd_div_d(MID_SHIFT, xs))
        elif row.table == "k1HighRows":
            n = np.trunc(xs).astype(np.int64)
            keep = n - 5 == row.index
            xs = xs[keep]
            self.t = (row.index + 6.0) - xs
            self.scale = None
            ref = interp.eval_dd(two_sum(np.full_like(xs, row.index + 6.0), -xs))
        else:
            t = ASYM_SCALE / xs
            keep = np.trunc(t).astype(np.int64) == row.index
            xs, t = xs[keep], t[keep]
            self.t = t
            # exp(-x) correctly rounded, and exactly as a double-double, both
            # scaled by the same power of two so nothing is subnormal.
            e_round = np.empty_like(xs)
            e_dd = (np.empty_like(xs), np.empty_like(xs))
            for i, x in enumerate(xs):
                e = mpmath.exp(-mpmath.mpf(float(x)))
                _, ex = math.frexp(float(e))
                e = mpmath.ldexp(e, -ex)
                e_round[i] = float(e)
                e_dd[0][i] = float(e)
                e_dd[1][i] = float(e - e_dd[0][i])
            self.scale = e_round * np.sqrt(t)
            t_exact = dd_div_d(ASYM_SCALE, xs)
            ref = dd_mul(dd_mul(interp.eval_dd(t_exact), dd_sqrt(t_exact)), e_dd)
        self.x = xs
        self.ref = ref

    def errors(self, coef):
        value = horner(coef, self.t)
        if self.scale is not None:
            value = self.scale * value
        return ((value - self.ref[0]) - self.ref[1]) / self.ref[0]


def row_arguments(row):
    """Dense double arguments over the row's range of x, with its ends."""
    if row.table == "k1MidRows":
        x_lo = max(SMALL_END, mid_x(row.index - 3.0))
        x_hi = min(MID_END, mid_x(row.index - 2.0))
    elif row.table == "k1HighRows":
        x_lo = max(MID_END, row.index + 5.0)
        x_hi = min(HIGH_END, row.index + 6.0)
    else:
        x_lo = max(HIGH_END, ASYM_SCALE / (row.index + 1.0))
        x_hi = 700.0 if row.index == 0 else ASYM_SCALE / row.index
    # Kronecker sequence (golden ratio): dense, deterministic, unaligned.
    i = np.arange(TUNE_SAMPLES, dtype=np.float64)
    frac = np.mod(i * 0.6180339887498949, 1.0)
    xs = x_lo + (x_hi - x_lo) * frac
    ends = []
    for e in (x_lo, x_hi):
        u = d = e
        ends.append(e)
        for _ in range(8):
            u = math.nextafter(u, math.inf)
            d = math.nextafter(d, -math.inf)
            ends += [u, d]
    return np.concatenate([xs, np.array(ends)])


def score(sample, coef):
    err = sample.errors(coef)
    # Exact summation: the order of numpy's vectorised sums is not fixed.
    return float(np.max(np.abs(err))), math.sqrt(math.fsum(err * err) / len(err))


def refine(sample, coef):
    """Move coefficients to neighbouring doubles while the worst error drops."""
    coef = list(coef)
    best = score(sample, coef)
    improved = True
    while improved:
        improved = False
        for i in range(len(coef) - 1):  # the constant term stays fixed
            for direction in (math.inf, -math.inf):
                for _ in range(MAX_ULP_STEP):
                    trial = list(coef)
                    trial[i] = math.nextafter(coef[i], direction)
                    s = score(sample, trial)
                    if s < best:
                        coef, best, improved = trial, s, True
                    else:
                        break
    return coef, best


# ---------------------------------------------------------------------------


def build(report):
    rows = make_rows()
    results = {}
    for row in rows:
        interp = Interpolant(row)
        sample = Sample(row, interp, row_arguments(row))
        if row.fixed is not None:
            coef = list(row.fixed)
            fit_err = float("nan")
            before = score(sample, coef)
            after = before
        else:
            exact, fit_err = remez(row, interp)
            coef = [float(c) for c in exact]
            assert coef[-1] == row.constant
            before = score(sample, coef)
            coef, after = refine(sample, coef)
        results[(row.table, row.index)] = (row, coef, fit_err, before, after, len(sample.x))
        if report:
            print("%-15s t in [%.6g, %.6g]  approx %.2e  rounded max %.2e rms %.2e  "
                  "refined max %.2e rms %.2e  (%d args)"
                  % (row.name, row.t_lo, row.t_hi, fit_err, before[0], before[1],
                     after[0], after[1], len(sample.x)), file=sys.stderr, flush=True)
    return results


def format_array(name, rows, per_line=3, indent="    "):
    lines = []
    for comment, coef in rows:
        if comment:
            lines.append(indent + "// " + comment)
        lines.append(indent + "{")
        for i in range(0, len(coef), per_line):
            lines.append(indent + "    " + ", ".join(repr(float(c)) for c in coef[i:i + per_line]) + ",")
        lines.append(indent + "},")
    return lines


def render(results):
    def table(name):
        return [results[k] for k in sorted(results) if k[0] == name]

    out = []
    out.append("// Generated by: %s" % COMMAND)
    out.append("// Do not edit: change the generator and re-run it; '--check' compares this")
    out.append("// file with a fresh run.")
    out.append("//")
    out.append("// Coefficient tables of the Bessel function K1, highest power first.")
    out.append("// Rows marked 'fixed' are given values; the others are minimax fits of")
    out.append("// the row's target (mpmath, 40 digits) with the given constant term, with")
    out.append("// the rounded coefficients refined against the double evaluation. 'max")
    out.append("// rel err' is the worst relative error of the complete double evaluation")
    out.append("// against K1 over the generator's sample of the row.")
    out.append("#pragma once")
    out.append("")
    out.append("namespace lorvane::detail {")
    out.append("")
    out.append("// x < 0.8: K1(x) = ln(x) * (x * P(x^2)) + Q(x^2) / x. x P(x^2) is the series")
    out.append("// of I1(x); Q carries the pole and the regular part.")
    for name, coef in (("k1SmallP", FIXED_SMALL_P), ("k1SmallQ", FIXED_SMALL_Q)):
        out.append("inline constexpr double %s[8] = {" % name)
        for i in range(0, 8, 3):
            out.append("    " + ", ".join(repr(c) for c in coef[i:i + 3]) + ",")
        out.append("};")
    out.append("")

    def describe(row, fit_err, after):
        if row.table == "k1MidRows":
            where = "y = x - 3/x in [%d, %d), t = %d - y" % (row.index - 3, row.index - 2, row.index - 2)
            if row.index == 0:
                where += ", x >= 0.8"
            if row.index == 7:
                where += ", x < 5.5"
        elif row.table == "k1HighRows":
            where = "x in [%s, %s), t = %d - x" % (
                "5.5" if row.index == 0 else str(row.index + 5),
                "12.5" if row.index == 7 else str(row.index + 6), row.index + 6)
        else:
            where = "t = 60/x in [%d, %s)" % (row.index, "4.8]" if row.index == 4 else str(row.index + 1))
            if row.index == 4:
                where = "t = 60/x in [4, 4.8]"
        origin = "fixed" if row.fixed is not None else "fit err %.1e" % fit_err
        return "row %d: %s; %s; max rel err %.1e" % (row.index, where, origin, after[0])

    row_tables = (
        ("k1MidRows", 15, "0.8 <= x < 5.5: row k = trunc(y + 3) approximates (x/3) K1(x)\n"
                          "// as a polynomial in t; K1 = poly * (3/x)."),
        ("k1HighRows", 15, "5.5 <= x < 12.5: row trunc(x) - 5 approximates K1(x) as a\n"
                           "// polynomial in t = (trunc(x) + 1) - x."),
        ("k1AsymRows", 8, "x >= 12.5: row trunc(t), t = 60/x, approximates K1(x) e^x / sqrt(t)\n"
                          "// as a polynomial in t itself; K1 = exp(-x) sqrt(t) poly."),
    )
    for name, width, comment in row_tables:
        entries = table(name)
        out.append("// " + comment)
        out.append("inline constexpr double %s[%d][%d] = {" % (name, len(entries), width))
        out += format_array(name, [(describe(r, fe, af), c) for (r, c, fe, _, af, _) in entries])
        out.append("};")
        out.append("")
    out.append("}  // namespace lorvane::detail")
    return "\n".join(out) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true",
                        help="regenerate into memory and compare with the file on disk")
    parser.add_argument("--report", action="store_true", help="print per-row errors to stderr")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args()
    text = render(build(args.report))
    if args.check:
        try:
            with open(args.output) as f:
                current = f.read()
        except OSError:
            current = None
        if current != text:
            print("%s is not what the generator produces; run: %s" % (args.output, COMMAND),
                  file=sys.stderr)
            if current is not None:
                import difflib
                sys.stderr.writelines(difflib.unified_diff(
                    current.splitlines(True), text.splitlines(True), "checked-in", "generated"))
            return 1
        print("%s is up to date" % args.output)
        return 0
    with open(args.output, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
