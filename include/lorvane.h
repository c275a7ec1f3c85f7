/*
 * lorvane: European call prices under the normal inverse Gaussian law, and
 * the special functions they rest on.
 *
 * Every function is pure: IEEE doubles in, one double out, no state, no
 * allocation, no I/O. Arguments are not validated; out-of-domain input comes
 * back as NaN or infinity through the arithmetic.
 *
 * On 32-bit x86 the functions use the __stdcall convention (the callee
 * removes its arguments), on Windows and Linux alike; elsewhere the
 * platform's default C convention.
 */
#ifndef LORVANE_H
#define LORVANE_H

#if defined(__i386__) || defined(_M_IX86)
#  if defined(_MSC_VER) || defined(_WIN32)
#    define LORVANE_CALL __stdcall
#  else
#    define LORVANE_CALL __attribute__((stdcall))
#  endif
#else
#  define LORVANE_CALL
#endif

#if defined(_WIN32)
#  if defined(LORVANE_BUILDING) || defined(LORVANE_STATIC)
#    define LORVANE_API
#  else
#    define LORVANE_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define LORVANE_API __attribute__((visibility("default")))
#else
#  define LORVANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Standard normal distribution function Phi(x). Ordinal 1. */
LORVANE_API double LORVANE_CALL cdfN(double x);

/* Modified Bessel function of the second kind of order one, K1(x), x > 0.
 * Ordinal 2. */
LORVANE_API double LORVANE_CALL BesselK1(double x);

/* NIG density at x for the law (alpha, beta, delta, mu). Ordinal 3. */
LORVANE_API double LORVANE_CALL pdfNIG(double x, double alpha, double beta,
                                       double delta, double mu);

/* The x-dependent part of the NIG density, K1(alpha*q)*exp(beta*x)/q with
 * q = sqrt((x-mu)^2 + delta^2). Note the point x comes last. Ordinal 4. */
LORVANE_API double LORVANE_CALL theIntegrand_BS_style(double alpha, double beta,
                                                      double delta, double mu,
                                                      double x);

/* European call price S*P1 - K*exp(-r*T)*P2 when the log-return over T
 * follows NIG(alpha, beta, delta*T, mu*T), the masses taken over
 * [ln(K/S), upper]. Ordinal 5. */
LORVANE_API double LORVANE_CALL NIG_Call_BS_style(double S, double K, double T,
                                                  double r, double alpha,
                                                  double beta, double delta,
                                                  double mu, double upper);

#ifdef __cplusplus
}
#endif

#endif /* LORVANE_H */
