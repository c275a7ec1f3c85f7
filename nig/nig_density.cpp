// The exported density and kernel.
#include "lorvane.h"
#include "nig/nig_kernel.h"

extern "C" LORVANE_API double LORVANE_CALL pdfNIG(double x, double alpha, double beta, double delta,
                                                  double mu) {
    return lorvane::detail::nigDensity(x, alpha, beta, delta, mu);
}

extern "C" LORVANE_API double LORVANE_CALL theIntegrand_BS_style(double alpha, double beta,
                                                                 double delta, double mu,
                                                                 double x) {
    return lorvane::detail::nigKernel(alpha, beta, delta, mu, x);
}
