/* A C host linked with the module's import library, as a program that
 * includes lorvane.h and links lorvane at build time is. Its import table
 * must name the module's five undecorated exports; run, it checks that the
 * calls reach the module (cdfN(0) is exactly 0.5). */
#include <stdio.h>

#include "lorvane.h"

int main(void) {
    const double values[] = {
        cdfN(0.0),
        BesselK1(1.0),
        pdfNIG(0.0, 15.0, -3.0, 0.5, 0.04),
        theIntegrand_BS_style(15.0, -3.0, 0.5, 0.04, 0.0),
        NIG_Call_BS_style(100.0, 100.0, 1.0, 0.05, 15.0, -3.0, 0.5, 0.1, 2.0),
    };
    for (int i = 0; i < 5; ++i) printf("%.17g\n", values[i]);
    return values[0] == 0.5 ? 0 : 1;
}
