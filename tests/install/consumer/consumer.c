/* Calls every function once through the installed header and library. */
#include <lorvane.h>
#include <math.h>
#include <stdio.h>

int main(void) {
    const double phi = cdfN(0.0);
    const double k1 = BesselK1(1.0);
    const double pdf = pdfNIG(0.0, 1.0, 0.0, 1.0, 0.0);
    const double kernel = theIntegrand_BS_style(1.0, 0.0, 1.0, 0.0, 0.0);
    const double call = NIG_Call_BS_style(100.0, 100.0, 1.0, 0.03, 15.0, -5.0, 0.5,
                                          0.18734833553500493, 5.0);
    printf("%.17g %.17g %.17g %.17g %.17g\n", phi, k1, pdf, kernel, call);
    /* Phi(0) = 1/2 exactly; K1(1) = 0.6019...; the kernel at these
     * parameters is K1(1); the at-the-money call is a few units. */
    if (phi != 0.5 || fabs(k1 - 0.60190723019723457) > 1e-15 || kernel != k1 ||
        !(pdf > 0.0) || !(call > 1.0 && call < 20.0))
        return 1;
    return 0;
}
