#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/.

Every double is written in the decoder's raw form (tag byte 0, then the 8
bytes of the bit pattern, little-endian; see fuzz_input.h), so a seed states
its inputs exactly. Run again after changing the seeds below; the files are
committed.
"""
import math
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
INF = math.inf
NAN = math.nan
DBL_MAX = sys.float_info.max
DBL_MIN = sys.float_info.min
DENORM_MIN = 5e-324


def bits(pattern):
    return struct.unpack("<d", struct.pack("<Q", pattern))[0]


def raw(value):
    if isinstance(value, int) and not isinstance(value, bool) and value >= 1 << 53:
        return b"\x00" + struct.pack("<Q", value)  # an explicit bit pattern
    return b"\x00" + struct.pack("<d", value)


def around(x, steps=2):
    """x and its neighbours up to `steps` units in the last place away."""
    out = [x]
    lo = hi = x
    for _ in range(steps):
        lo, hi = math.nextafter(lo, -INF), math.nextafter(hi, INF)
        out += [lo, hi]
    return out


NAN_PATTERNS = [0x7FF8000000000000, 0x7FF8000000000123, 0x7FF0000000000001, 0xFFF8DEADBEEF0000,
                0x7FFFFFFFFFFFFFFF]
CLASSES = [0.0, -0.0, DENORM_MIN, -DENORM_MIN, bits(0x000FFFFFFFFFFFFF), DBL_MIN, -DBL_MIN, DBL_MAX,
           -DBL_MAX, INF, -INF, 1.0, -1.0]

# Where K1's small-argument form changes rows: x - 3/x = j.
MID_ROW_EDGES = [(j + math.sqrt(j * j + 12.0)) / 2.0 for j in range(-3, 6)]


def seeds_cdf_normal():
    yield "nan_payloads", NAN_PATTERNS
    yield "classes", CLASSES
    for name, x in [("cutoff_37", 37.0), ("switch", 7.07106781186547), ("five_root_two", 5 * math.sqrt(2)),
                    ("rounds_to_one", 8.3), ("zero", 0.0)]:
        yield name, around(x, 3) + [-v for v in around(x, 3)]
    yield "ordinary", [-40.0, -8.0, -3.0, -1.5, -0.25, 0.25, 1.96, 3.0, 6.5, 12.0, 36.9, 38.0, 1e10]


def seeds_bessel_k1():
    yield "nan_payloads", NAN_PATTERNS
    yield "classes", CLASSES
    yield "region_edges", [v for x in (0.8, 5.5, 12.5) for v in around(x, 3)]
    yield "mid_row_edges", [v for x in MID_ROW_EDGES for v in around(x, 2)]
    yield "high_row_edges", [v for n in range(6, 13) for v in around(float(n), 2)]
    yield "asymptotic_row_edges", [v for k in range(1, 5) for v in around(60.0 / k, 2)]
    yield "underflow", [700.0, 705.0, 709.78, 742.0, 745.0, 745.2, 746.0, 1e4, 1e300]
    yield "pole_overflow", [v for x in (1.0 / DBL_MAX, 5.6e-309, 1e-300, 1e-9) for v in around(x, 2)]


def with_each_replaced(base, values):
    """base with one argument at a time replaced by each of values."""
    for i in range(len(base)):
        for v in values:
            yield base[:i] + [v] + base[i + 1:]


def seeds_nig_density(point_first=True):
    # Tuples in pdfNIG order (x, alpha, beta, delta, mu); the kernel takes x last.
    order = (lambda t: t) if point_first else (lambda t: t[1:] + t[:1])
    typical = [0.1, 2.0, 0.5, 0.3, 0.05]
    yield "typical", [0.1, 2.0, 0.5, 0.3, 0.05, 0.0, 1.0, 0.0, 1.0, 0.0, -3.0, 20.0, -3.0, 0.5, 0.05]
    for name, values in [("nan", NAN_PATTERNS[:3]), ("infinite", [INF, -INF]), ("zero", [0.0, -0.0]),
                         ("extreme", [DBL_MAX, -DBL_MAX, DENORM_MIN, -1.0])]:
        yield name, [v for t in with_each_replaced(typical, values) for v in order(t)]
    out_of_domain = [
        [0.0, 1.0, 2.0, 1.0, 0.0],      # alpha < |beta|
        [0.0, 0.0, 0.0, 1.0, 0.0],      # alpha = 0
        [0.3, 1.0, 0.0, 0.0, 0.3],      # delta = 0 at x = mu: q = 0
        [0.3, 1.0, 0.0, -1.0, 0.0],     # negative delta
        [0.0, 1e-200, 2e-200, 1.0, 0.0],  # alpha < |beta| with underflowing squares
    ]
    yield "out_of_domain", [v for t in out_of_domain for v in order(t)]
    overflowing_pieces = [
        [0.0, 500.0, 0.0, 2.0, 0.0],     # exp(delta gamma) overflows, K1 underflows
        [800.0, 1.0, 0.9, 1.0, 800.0],   # exp(beta x) overflows
        [-800.0, 1.0, -0.9, 1.0, -800.0],
        [0.0, 1.0, 0.0, 1e-310, 0.0],    # K1 argument subnormal: pole overflows
    ]
    yield "overflowing_pieces", [v for t in overflowing_pieces for v in order(t)]
    # alpha next to |beta|: alpha^2 - beta^2 formed from the squares cancels.
    near_boundary = [[float.fromhex("-0x1.ffffffffffffcp-1"), float.fromhex("0x1.4000000000001p+4"), 20.0, 20.0, 11.0],
                     [0.1, math.nextafter(2.0, INF), 2.0, 0.3, 0.05], [0.1, 2.0, math.nextafter(-2.0, INF), 0.3, 0.05],
                     [1.375, 1.375, 1.375, -12.125, 13.875],  # alpha = beta: gamma = 0
                     [0.0, 2.0 ** -1019, float.fromhex("0x1.fep-1020"), 6.375, 6.375]]  # squares underflow
    yield "alpha_next_to_beta", [v for t in near_boundary for v in order(t)]
    # alpha q on every K1 region and row boundary.
    edges = [0.8, 5.5, 12.5] + MID_ROW_EDGES + [float(n) for n in range(6, 13)] + [60.0 / k for k in range(1, 5)]
    yield "bessel_edges", [v for e in edges for v in order([0.0, 1.0, 0.25, e, 0.0])]


def seeds_nig_call():
    typical = [100.0, 100.0, 0.5, 0.03, 20.0, -3.0, 0.5, 0.05, 2.0]
    yield "typical", typical
    yield "deep_in_the_money", [100.0, 1.0, 1.0, 0.05, 15.0, -2.0, 0.4, 0.0, 3.0]
    yield "normal_limit", [100.0, 95.0, 1.0, 0.02, 400.0, 0.0, 16.0, 0.0, 5.0]
    yield "strike_equals_upper", [100.0, 100.0, 0.5, 0.03, 20.0, -3.0, 0.5, 0.05, 0.0]
    yield "upper_below_strike", [100.0, 120.0, 0.5, 0.03, 20.0, -3.0, 0.5, 0.05, -1.0]
    yield "tilted_out_of_domain", [100.0, 100.0, 0.5, 0.03, 2.0, 1.5, 0.5, 0.05, 2.0]
    yield "spike_near_strike", [100.0, 100.0, 1.0, 0.0, 50.0, 0.0, 1e-9, 0.0, 1.0]
    yield "long_horizon", [100.0, 100.0, 1000.0, 0.03, 20.0, -3.0, 0.5, 0.05, 50.0]
    # Costly prices found by bench/worst_case_bench.cpp: all eight passes,
    # with long node walks near a spike of the density; the slowest ones also
    # run the rule again with combined exponents, one over subnormal
    # arithmetic (delta is the smallest subnormal).
    yield "most_evaluations_admissible", [100, 345.66454871799885, 1.6058019216953541, -0.028748147502120895,
                                          35.908275240089949, 6.9860111054265772, 2.4047210879968961e-73,
                                          0.77238580279149815, 24.943930053153668]
    yield "most_evaluations_any_input", [100, 102.27659451690705, 8.899786021487019, 0.1188268073176267,
                                         363.4974326055916, -288.6316231938543, 1.7839153592071387e-264,
                                         0.0025293493727845985, 0.68445698300473867]
    yield "slowest_admissible", [100, 406.46785383056141, 3.6182342899686164, 0.011987088479538183, 342.40505945156684,
                                 0.1253821170686471, 4.0840824563454424e-06, -0.18491642627004889, 1.482954278348106]
    yield "slowest_any_input", [98.968442798499041, 249.48965762884345, 52.061288990835699, 0.69105989873898777,
                                265.27488922154936, 0.11485756782304406, 4.9406564584124654e-324,
                                -0.033789207175221846, 1.0499187301798425]
    for i, (name, values) in enumerate([("nan", [NAN]), ("infinite", [INF, -INF]), ("zero", [0.0]),
                                        ("negative", [-1.0]), ("huge", [DBL_MAX]), ("tiny", [DENORM_MIN])]):
        for j, t in enumerate(with_each_replaced(typical, values)):
            yield f"{name}_{j}", t


TARGETS = {
    "cdf_normal_fuzz": seeds_cdf_normal,
    "bessel_k1_fuzz": seeds_bessel_k1,
    "nig_density_fuzz": seeds_nig_density,
    "nig_kernel_fuzz": lambda: seeds_nig_density(point_first=False),
    "nig_call_fuzz": seeds_nig_call,
}


def main():
    root = os.path.join(HERE, "corpus")
    for target, seeds in TARGETS.items():
        directory = os.path.join(root, target)
        shutil.rmtree(directory, ignore_errors=True)
        os.makedirs(directory)
        for name, values in seeds():
            with open(os.path.join(directory, name), "wb") as f:
                f.write(b"".join(raw(v) for v in values))


if __name__ == "__main__":
    main()
