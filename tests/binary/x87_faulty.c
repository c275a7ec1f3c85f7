/* Compiled with x87 arithmetic on purpose: the object check must report the
 * rounding x87 instruction and the unguarded math call. */
#include <math.h>

double sumOnX87(double a, double b) { return a + b; }

double unguardedCubeRoot(double x) { return cbrt(x); }
