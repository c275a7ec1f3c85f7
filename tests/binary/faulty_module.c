/* A module that breaks the export contract on purpose: the contract check
 * must name each fault (wrong module name, swapped ordinal, decorated name,
 * caller clean-up, an extra export, a missing one, and the runtime's default
 * reset of attaching threads to extended precision). */
double __stdcall cdfN(double x) { return x; }
double __stdcall BesselK1(double x) { return x; }
double pdfNIG(double x, double alpha, double beta, double delta, double mu) {
    return x + alpha + beta + delta + mu;
}
double __stdcall theIntegrand_BS_style(double alpha, double beta, double delta, double mu, double x) {
    return x + alpha + beta + delta + mu;
}
double __stdcall NIG_Prob_BS_style(double lower, double upper) { return upper - lower; }
