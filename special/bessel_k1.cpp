#include "lorvane.h"
#include "special/bessel_k1.h"

extern "C" LORVANE_API double LORVANE_CALL BesselK1(double x) { return lorvane::detail::besselK1(x); }
