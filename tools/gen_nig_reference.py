#!/usr/bin/env python3
"""Reference values of the NIG density and of NIG call prices.

Writes two tables into tests/data (or the directory given):

  nig_density_reference.csv  the density
        f(x) = alpha delta / pi * exp(delta gamma + beta (x - mu)) K1(alpha q) / q
      at exact double inputs, by mpmath at 40 digits; central points, far
      tails and strongly skewed laws.
  nig_call_reference.csv     truncated call prices S P1 - K exp(-r T) P2,
      P2 the mass of NIG(alpha, beta, delta T, mu T) on [ln(K/S), upper] and
      P1 the same with beta + 1, each integral by mpmath's tanh-sinh
      quadrature of the exact density at 34 digits, the interval cut at the
      mean and at growing multiples of the standard deviation so that every
      piece is smooth on its own scale; the two masses are stored too.

Every input is the exact double the C++ test passes (hexadecimal float);
ln(K/S), delta T and mu T are formed exactly from those doubles.

Usage: python3 tools/gen_nig_reference.py [OUTPUT_DIR]     (about a minute)
"""
import math
import os
import sys

import mpmath
from mpmath import mp, mpf

DENSITY_LAWS = [  # alpha, beta, delta, mu; points x
    ((1.0, 0.0, 1.0, 0.0), [0.0, 0.5, -0.5, 1.0, 3.0, -3.0, 10.0, 40.0, -100.0, 300.0, 650.0]),
    ((15.0, -5.0, 0.5, 0.1), [-3.0, -1.0, -0.2, 0.0, 0.1, 0.3, 1.0, 2.5, 6.0, 20.0]),
    ((8.0, -3.0, 0.25, 0.11), [-4.0, -1.0, 0.0, 0.11, 0.5, 2.0, 5.0]),
    ((20.0, -3.0, 0.5, 0.05), [-10.0, -2.0, -0.5, 0.0, 0.05, 0.4, 1.5, 10.0]),
    ((50.0, 0.0, 2.0, 0.01), [-2.0, -0.5, 0.0, 0.01, 0.3, 1.0, 4.0]),
    ((2.0, 1.9, 0.1, 0.0), [-5.0, -0.5, 0.0, 0.05, 0.3, 1.0, 3.0, 20.0, 150.0]),
    ((1.5, -1.4, 3.0, -2.0), [-300.0, -40.0, -8.0, -2.0, 0.0, 5.0, 60.0]),
    ((300.0, 40.0, 0.02, 0.001), [-0.05, 0.0, 0.001, 0.004, 0.02, 0.1, 1.0]),
    ((6.0, -1.0, 0.6, 0.08), [-6.0, -1.0, 0.0, 0.08, 0.7, 3.0, 8.0]),
]

# S, K, T, r, alpha, beta, delta, mu, upper: the example options, then heavy
# tails, short maturities, strong skew and a near-normal law.
CALLS = [
    (100, 90, 0.25, 0.03, 15, -5, 0.5, 0.18734833553500493, 5.0),
    (100, 100, 0.25, 0.03, 15, -5, 0.5, 0.18734833553500493, 5.0),
    (100, 110, 0.25, 0.03, 15, -5, 0.5, 0.18734833553500493, 5.0),
    (100, 100, 1, 0.03, 15, -5, 0.5, 0.18734833553500493, 5.0),
    (100, 95, 0.5, 0.03, 8, -3, 0.25, 0.11244205132979276, 5.0),
    (100, 105, 0.5, 0.03, 8, -3, 0.25, 0.11244205132979276, 5.0),
    (100, 80, 1, 0.03, 8, -3, 0.25, 0.11244205132979276, 5.0),
    (100, 100, 1, 0.03, 50, 0, 2, 0.009997999599902413, 4.0),
    (100, 120, 2, 0.03, 50, 0, 2, 0.009997999599902413, 4.0),
    (100, 100, 0.25, 0.03, 6, -1, 0.6, 0.08035213014023032, 8.0),
    (100, 120, 1, 0.03, 6, -1, 0.6, 0.08035213014023032, 8.0),
    (100, 90, 2, 0.03, 6, -1, 0.6, 0.08035213014023032, 8.0),
    # heavy tails: alpha - |beta + 1| small, generous upper limits
    (100, 100, 1, 0.02, 2.5, -0.5, 0.4, None, 12.0),
    (100, 150, 1, 0.02, 2.5, -0.5, 0.4, None, 20.0),
    (50, 40, 3, 0.01, 3, 0.5, 0.3, None, 10.0),
    # short maturities: a narrow law around the strike
    (100, 100, 0.02, 0.03, 15, -5, 0.5, None, 2.0),
    (100, 101, 0.01, 0.03, 25, -2, 1.2, None, 1.0),
    (100, 97, 1 / 52, 0.01, 8, -3, 0.25, None, 2.0),
    # near-normal law (variance delta/alpha = 0.04) and a long horizon
    (100, 110, 1, 0.03, 100, 0, 4, None, 3.0),
    (100, 60, 5, 0.05, 12, 2, 0.8, None, 6.0),
]


def martingale_mu(r, alpha, beta, delta):
    """mu that makes the discounted price a martingale, in double."""
    return r - delta * (math.sqrt(alpha * alpha - beta * beta) -
                        math.sqrt(alpha * alpha - (beta + 1) * (beta + 1)))


def k1(z):
    """K1(z) for z > 0 at the working precision.

    mpmath's besselk is exact but slow for moderate arguments; the
    quadratures need many thousands of values. For small z the ascending
    series (DLMF 10.31.1), summed with enough guard digits to absorb its
    cancellation (about 2z / ln 10 digits); for large z the asymptotic
    expansion (DLMF 10.40.2), whose smallest term, about e^-2z of the
    result, must lie below the working precision: hence the switch point.
    """
    if z < 1.2 * (mp.dps + 5) + 5:
        with mpmath.workdps(mp.dps + int(0.9 * z) + 15):
            z = mpf(z)
            w = z * z / 4
            eps = mpf(10) ** -(mp.dps + 5)
            term = mpf(1)            # (z^2/4)^k / (k! (k+1)!)
            psi_sum = -2 * mpmath.euler + 1   # psi(k+1) + psi(k+2) at k = 0
            i1 = mpf(0)
            rest = mpf(0)
            k = 0
            while True:
                i1 += term
                rest += psi_sum * term
                k += 1
                term = term * w / (k * (k + 1))
                psi_sum += mpf(1) / k + mpf(1) / (k + 1)
                if term < eps * i1 and k > 2:
                    break
            value = 1 / z + mpmath.log(z / 2) * (z / 2) * i1 - (z / 4) * rest
        return +value
    z = mpf(z)
    total = mpf(1)
    term = mpf(1)
    k = 1
    eps = mpf(10) ** -(mp.dps + 5)
    while True:
        term = term * (4 - (2 * k - 1) ** 2) / (k * 8 * z)
        total += term
        if abs(term) < eps:
            break
        k += 1
    return mpmath.sqrt(mp.pi / (2 * z)) * mpmath.exp(-z) * total


def density(x, alpha, beta, delta, mu):
    d = x - mu
    q = mpmath.sqrt(d * d + delta * delta)
    gamma = mpmath.sqrt(alpha * alpha - beta * beta)
    return (alpha * delta / mp.pi * mpmath.exp(delta * gamma + beta * d)
            * k1(alpha * q) / q)


def mass(alpha, beta, delta, mu, lower, upper):
    gamma = mpmath.sqrt(alpha * alpha - beta * beta)
    mean = mu + delta * beta / gamma
    sd = mpmath.sqrt(delta * alpha * alpha / gamma ** 3)
    cuts = {lower, upper}
    # Cuts at the mean and at geometrically spaced multiples of the standard
    # deviation on either side: each piece then spans a few decades of the
    # density at most.
    steps = [0.5, 1, 1.5, 2, 3, 4, 6, 8, 11, 15, 20, 27, 36, 48, 64, 85, 113, 150, 200, 270,
             360, 480, 640, 850, 1130, 1500, 2000]
    for c in [mean] + [mean + s * sd for s in steps] + [mean - s * sd for s in steps]:
        if lower < c < upper:
            cuts.add(c)
    points = sorted(cuts)
    value, error = mpmath.quad(lambda t: density(t, alpha, beta, delta, mu), points,
                               error=True, maxdegree=10)
    if error > mpf(10) ** -26 * max(abs(value), mpf(10) ** -300):
        raise RuntimeError("quadrature error %s for %s" % (error, (alpha, beta, delta, mu)))
    return value


def hexes(values):
    return ",".join(float(v).hex() for v in values)


def fmt(v):
    return mpmath.nstr(v, 30, min_fixed=1, max_fixed=0)


def write_density(path):
    mp.dps = 40
    with open(path, "w") as f:
        f.write("# NIG density by mpmath at 40 digits; generated by "
                "python3 tools/gen_nig_reference.py\n")
        f.write("x,alpha,beta,delta,mu,density\n")
        for (alpha, beta, delta, mu), xs in DENSITY_LAWS:
            for x in xs:
                v = density(mpf(x), mpf(alpha), mpf(beta), mpf(delta), mpf(mu))
                f.write("%s,%s\n" % (hexes((x, alpha, beta, delta, mu)), fmt(v)))


def write_calls(path):
    mp.dps = 34
    with open(path, "w") as f:
        f.write("# Truncated NIG call prices, masses by mpmath tanh-sinh quadrature at 34 "
                "digits; generated by python3 tools/gen_nig_reference.py\n")
        f.write("S,K,T,r,alpha,beta,delta,mu,upper,price,p1,p2\n")
        for S, K, T, r, alpha, beta, delta, mu, upper in CALLS:
            if mu is None:
                mu = martingale_mu(r, alpha, beta, delta)
            inputs = [float(v) for v in (S, K, T, r, alpha, beta, delta, mu, upper)]
            S_, K_, T_, r_, a_, b_, d_, m_, u_ = (mpf(v) for v in inputs)
            lower = mpmath.log(K_ / S_)
            p1 = mass(a_, b_ + 1, d_ * T_, m_ * T_, lower, u_)
            p2 = mass(a_, b_, d_ * T_, m_ * T_, lower, u_)
            price = S_ * p1 - K_ * mpmath.exp(-r_ * T_) * p2
            f.write("%s,%s,%s,%s\n" % (hexes(inputs), fmt(price), fmt(p1), fmt(p2)))
            f.flush()


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "tests/data"
    write_density(os.path.join(out, "nig_density_reference.csv"))
    write_calls(os.path.join(out, "nig_call_reference.csv"))


if __name__ == "__main__":
    main()
