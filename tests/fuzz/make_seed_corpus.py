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


TARGETS = {
    "cdf_normal_fuzz": seeds_cdf_normal,
    "bessel_k1_fuzz": seeds_bessel_k1,
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
