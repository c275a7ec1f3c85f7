"""The Python binding against the C functions, bit for bit.

The C results come from the command-line tool, which binds the same shared
library by name and prints 17 significant digits (enough to reproduce every
double exactly). Set LORVANE_CLI to the tool and LORVANE_LIBRARY to the
library; both are set when the tests run under CTest.
"""
import math
import os
import subprocess
import unittest

import lorvane

CLI = os.environ.get("LORVANE_CLI", "lorvane")


def c_results(function, *args):
    out = subprocess.run([CLI, function] + [repr(float(a)) for a in args],
                         check=True, capture_output=True, text=True).stdout
    return [float(line) for line in out.split()]


def same(a, b):
    return (math.isnan(a) and math.isnan(b)) or a == b


NIG_POINTS = [  # x, alpha, beta, delta, mu
    (0.0, 1.0, 0.0, 1.0, 0.0),
    (0.3, 15.0, -5.0, 0.5, 0.1),
    (-2.0, 8.0, -3.0, 0.25, 0.11),
    (1.0, 1.0, 2.0, 1.0, 0.0),  # alpha < |beta|
]
CALLS = [  # S, K, T, r, alpha, beta, delta, mu, upper
    (100.0, 100.0, 1.0, 0.03, 15.0, -5.0, 0.5, 0.18734833553500493, 5.0),
    (100.0, 90.0, 0.25, 0.03, 6.0, -1.0, 0.6, 0.08035213014023032, 8.0),
    (100.0, 100.0, 1.0, 0.03, 2.0, 1.5, 0.5, 0.0, 5.0),  # beta + 1 > alpha
]


class MatchesTheCFunctions(unittest.TestCase):
    def test_single_argument_functions(self):
        xs = [-40.0, -7.07106781186547, -1.5, 0.0, 1.96, 38.0, 0.5, 0.8, 5.5, 12.5, 700.0]
        for name in ("cdfN", "BesselK1"):
            expected = c_results(name, *xs)
            got = [getattr(lorvane, name)(x) for x in xs]
            for x, g, e in zip(xs, got, expected):
                self.assertTrue(same(g, e), "%s(%r): %r != %r" % (name, x, g, e))

    def test_density_and_kernel_argument_orders(self):
        for x, a, b, d, m in NIG_POINTS:
            (e,) = c_results("pdfNIG", x, a, b, d, m)
            self.assertTrue(same(lorvane.pdfNIG(x, a, b, d, m), e))
            (e,) = c_results("theIntegrand_BS_style", a, b, d, m, x)
            self.assertTrue(same(lorvane.theIntegrand_BS_style(a, b, d, m, x), e))

    def test_call_prices(self):
        for args in CALLS:
            (e,) = c_results("NIG_Call_BS_style", *args)
            self.assertTrue(same(lorvane.NIG_Call_BS_style(*args), e), args)

    def test_wrong_argument_count_is_a_type_error(self):
        with self.assertRaises(TypeError):
            lorvane.pdfNIG(0.0, 1.0, 0.0, 1.0)

    def test_library_path_is_reported(self):
        self.assertTrue(os.path.basename(lorvane.library_path).startswith(("liblorvane", "lorvane")))


try:
    import numpy as np
except ImportError:
    np = None


@unittest.skipIf(np is None, "NumPy is not installed")
class NumPyBroadcasting(unittest.TestCase):
    def test_array_in_array_out(self):
        xs = np.linspace(-5.0, 5.0, 11)
        got = lorvane.cdfN(xs)
        self.assertEqual(got.shape, xs.shape)
        self.assertEqual(got.dtype, np.float64)
        for x, g in zip(xs, got):
            self.assertEqual(g, lorvane.cdfN(float(x)))

    def test_broadcasting_strikes_against_maturities(self):
        strikes = np.array([80.0, 100.0, 120.0])
        maturities = np.array([[0.25], [1.0]])
        prices = lorvane.NIG_Call_BS_style(100.0, strikes, maturities, 0.03, 15.0, -5.0, 0.5,
                                           0.18734833553500493, 5.0)
        self.assertEqual(prices.shape, (2, 3))
        for i, t in enumerate(maturities[:, 0]):
            for j, k in enumerate(strikes):
                self.assertEqual(prices[i, j], lorvane.NIG_Call_BS_style(
                    100.0, k, t, 0.03, 15.0, -5.0, 0.5, 0.18734833553500493, 5.0))

    def test_zero_dimensional_and_list_inputs(self):
        self.assertEqual(lorvane.BesselK1([1.0, 2.0]).tolist(),
                         [lorvane.BesselK1(1.0), lorvane.BesselK1(2.0)])
        self.assertEqual(lorvane.cdfN(np.float64(0.0)), 0.5)


if __name__ == "__main__":
    unittest.main()
