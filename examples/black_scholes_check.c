/*
 * NIG prices next to Black-Scholes prices in the normal limit.
 *
 * With beta = 0 the NIG law has variance delta/alpha per unit of time; as
 * alpha grows with delta/alpha = sigma^2 held fixed it tends to the normal
 * law, and with the martingale drift mu = r - delta*(alpha - sqrt(alpha^2-1))
 * the NIG call price tends to the Black-Scholes price with volatility sigma.
 * The Black-Scholes price itself uses the library's cdfN.
 *
 * Build: cc -std=c99 black_scholes_check.c -llorvane -lm
 * Run:   ./black_scholes_check [ALPHA]     (default 100)
 * Exits with status 1 if the two prices differ by more than the distance of
 * the two laws allows (100/alpha^2).
 */
#include <lorvane.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

static double black_scholes_call(double S, double K, double T, double r, double sigma) {
    const double sd = sigma * sqrt(T);
    const double d1 = (log(S / K) + (r + 0.5 * sigma * sigma) * T) / sd;
    const double d2 = d1 - sd;
    return S * cdfN(d1) - K * exp(-r * T) * cdfN(d2);
}

int main(int argc, char** argv) {
    const double S = 100.0, r = 0.03, sigma = 0.2;
    const double alpha = argc > 1 ? atof(argv[1]) : 100.0;
    const double beta = 0.0, delta = sigma * sigma * alpha;
    const double mu = r - delta * (alpha - sqrt(alpha * alpha - 1.0));
    const double upper = 3.0; /* 15 standard deviations over a year */
    const double maturities[] = {0.25, 1.0};
    double worst = 0.0;

    printf("NIG(alpha=%g, beta=0, delta=%g, mu=%.6f) against Black-Scholes (sigma=%g), S=%g, r=%g\n",
           alpha, delta, mu, sigma, S, r);
    printf("%6s %6s %14s %14s %12s\n", "T", "K", "NIG", "Black-Scholes", "difference");
    for (int m = 0; m < 2; ++m) {
        const double T = maturities[m];
        for (double K = 80.0; K <= 120.0; K += 5.0) {
            const double nig = NIG_Call_BS_style(S, K, T, r, alpha, beta, delta, mu, upper);
            const double bs = black_scholes_call(S, K, T, r, sigma);
            printf("%6.2f %6.1f %14.8f %14.8f %12.2e\n", T, K, nig, bs, nig - bs);
            if (!(fabs(nig - bs) <= worst)) worst = fabs(nig - bs);
        }
    }
    /* The price difference of the two laws shrinks like 1/alpha^2 (about
     * 0.005 at alpha = 100, 0.02 at 50). */
    const double allowed = 100.0 / (alpha * alpha);
    printf("largest difference %.3g (allowed %.3g at this alpha)\n", worst, allowed);
    return worst <= allowed ? 0 : 1;
}
