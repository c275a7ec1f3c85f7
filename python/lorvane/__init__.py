"""lorvane: European call prices under the normal inverse Gaussian law.

A thin ctypes binding of the lorvane shared library: the five exported
functions under their own names and argument orders, plain floats in and
out. When NumPy is installed, any argument may be an array: arguments are
broadcast against each other and the result is an array of float64 of the
broadcast shape (the loop over elements runs in Python, one C call each).

The shared library is looked for, in order:
  1. the path in the environment variable LORVANE_LIBRARY;
  2. next to this package (the package directory and its parent);
  3. the library directory of an installation prefix this package sits in
     (PREFIX/lib/lorvane/python/lorvane -> PREFIX/lib, PREFIX/bin);
  4. the system's library search path.

    >>> import lorvane
    >>> lorvane.cdfN(1.96)
    0.9750021048517795
"""

import ctypes
import ctypes.util
import os
import sys

__all__ = ["cdfN", "BesselK1", "pdfNIG", "theIntegrand_BS_style", "NIG_Call_BS_style",
           "library_path"]

if sys.platform == "win32":
    _LIBRARY_NAMES = ("lorvane.dll",)
elif sys.platform == "darwin":
    _LIBRARY_NAMES = ("liblorvane.dylib",)
else:
    _LIBRARY_NAMES = ("liblorvane.so", "liblorvane.so.1")


def _candidates():
    env = os.environ.get("LORVANE_LIBRARY")
    if env:
        yield env
        return
    here = os.path.dirname(os.path.abspath(__file__))
    dirs = [here, os.path.dirname(here)]
    # Installed as PREFIX/<libdir>/lorvane/python/lorvane: walk up to the
    # prefix and look in its library and binary directories.
    ancestor = here
    for _ in range(5):
        ancestor = os.path.dirname(ancestor)
        dirs += [os.path.join(ancestor, "lib"), os.path.join(ancestor, "lib64"),
                 os.path.join(ancestor, "bin")]
    for d in dirs:
        for name in _LIBRARY_NAMES:
            path = os.path.join(d, name)
            if os.path.isfile(path):
                yield path
    found = ctypes.util.find_library("lorvane")
    if found:
        yield found


def _load():
    # On 32-bit Windows the functions are __stdcall: WinDLL pops nothing
    # itself and lets the callee remove the arguments.
    loader = ctypes.WinDLL if (sys.platform == "win32" and ctypes.sizeof(ctypes.c_void_p) == 4) \
        else ctypes.CDLL
    errors = []
    for path in _candidates():
        try:
            return loader(path), path
        except OSError as e:
            errors.append("%s: %s" % (path, e))
    raise OSError("cannot load the lorvane shared library; set LORVANE_LIBRARY to its path"
                  + ("".join("\n  " + e for e in errors)))


_lib, library_path = _load()


def _bind(name, arity):
    fn = getattr(_lib, name)
    fn.restype = ctypes.c_double
    fn.argtypes = [ctypes.c_double] * arity
    return fn


try:
    import numpy as _np
except ImportError:  # NumPy is optional
    _np = None


def _wrap(name, arity, doc):
    c_function = _bind(name, arity)

    def scalar(*args):
        return c_function(*[float(a) for a in args])

    def function(*args):
        if len(args) != arity:
            raise TypeError("%s() takes %d arguments (%d given)" % (name, arity, len(args)))
        if _np is not None and any(isinstance(a, (_np.ndarray, list, tuple)) for a in args):
            arrays = _np.broadcast_arrays(*[_np.asarray(a, dtype=_np.float64) for a in args])
            out = _np.empty(arrays[0].shape, dtype=_np.float64)
            flat = [a.ravel() for a in arrays]
            result = out.reshape(-1)
            for i in range(result.size):
                result[i] = c_function(*[float(a[i]) for a in flat])
            return out
        return scalar(*args)

    function.__name__ = name
    function.__qualname__ = name
    function.__doc__ = doc
    return function


cdfN = _wrap("cdfN", 1, "cdfN(x): standard normal distribution function Phi(x).")
BesselK1 = _wrap("BesselK1", 1,
                 "BesselK1(x): modified Bessel function of the second kind K1(x), x > 0.")
pdfNIG = _wrap("pdfNIG", 5,
               "pdfNIG(x, alpha, beta, delta, mu): NIG density at x.")
theIntegrand_BS_style = _wrap(
    "theIntegrand_BS_style", 5,
    "theIntegrand_BS_style(alpha, beta, delta, mu, x): K1(alpha*q)*exp(beta*x)/q,\n"
    "q = sqrt((x-mu)^2 + delta^2), the x-dependent part of the NIG density.")
NIG_Call_BS_style = _wrap(
    "NIG_Call_BS_style", 9,
    "NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, upper): European call\n"
    "price when the log-return over T follows NIG(alpha, beta, delta*T, mu*T),\n"
    "the masses taken over [ln(K/S), upper].")
