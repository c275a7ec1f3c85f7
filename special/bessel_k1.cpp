// The exported K1: the inline evaluator behind the library's C boundary.
#include "special/bessel_k1.h"

#include "lorvane.h"

extern "C" LORVANE_API double LORVANE_CALL BesselK1(double x) { return lorvane::detail::besselK1(x); }
