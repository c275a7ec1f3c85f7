// The double-exponential (tanh-sinh) rule on a finite interval.
//
// The substitution x = c + w/2 tanh((pi/2) sinh tau), c the centre and w the
// width, maps [lower, upper] onto the whole tau line, where the transformed
// integrand decays double-exponentially; the trapezoidal rule in tau then
// converges geometrically. The step is halved pass by pass, each pass adding
// only the new midpoints, until two successive passes agree or eight passes
// have run.
//
// Nodes come in mirrored pairs lower + dist, upper - dist (the images of
// -tau and +tau), with dist = w / (exp(pi sinh tau) + 1) measured from the
// nearer end, so that nodes close to an end keep their full relative
// precision. Along one offset the node parameter advances by a fixed step,
// so e^tau and e^-tau advance by one multiplication each and only
// exp(pi sinh tau) costs an exponential.
#pragma once

#include <cmath>

namespace lorvane::detail {

struct DoubleExponentialSum {
    double stepTimesSum;  // h * sum: the integral, before any constant factor
    int passes;           // 2 to 8; 1 when the first pass is already NaN or infinite
};

// Integrates f over [lower, upper] (a reversed interval gives the negated
// integral). The evaluations of f, their order and the arithmetic are fixed:
// the centre once, then for every node the pair lower + dist, upper - dist.
template <class Integrand>
inline DoubleExponentialSum doubleExponentialSum(Integrand&& f, double lower,
                                                 double upper) noexcept {
    constexpr double epsilon = 1e-17;
    constexpr double baseStepFactor = 8.5;
    constexpr int passCap = 256;
    constexpr double halfPi = 1.5707963267948966;
    constexpr double pi = 3.141592653589793;

    // ln(1/epsilon) + 1 is the span of tau over which the transformed
    // integrand falls from 1 to epsilon; the base step puts about 8.5 steps
    // across it.
    const double lnSpan = 1.0 - std::log(epsilon);
    const double nodeTol = std::sqrt(epsilon);
    const double hBase = baseStepFactor / lnSpan;
    const double growth = std::exp(hBase);
    const double shrink = 1.0 / growth;
    const double tailFactor = std::exp(-(shrink * lnSpan));

    const double width = upper - lower;
    double plainSum = f((lower + upper) * 0.5) * (width * 0.25);
    double sum = plainSum * pi;
    // Absolute size of the terms, built in the first pass only: a node walk
    // stops once a pair falls below it.
    double bound = std::fabs(sum) * tailFactor;
    double h = hBase + hBase;
    int m = 1;
    double passTol = 0.0;
    int passes = 0;

    double change;
    do {
        const double prevSum = sum;
        const double prevPlainSum = plainSum;
        double t = h * 0.5;
        do {
            const double e = std::exp(t);
            double up = e * halfPi;
            double down = halfPi / e;
            double pairBound;
            double frac;
            do {
                frac = 1.0 / (std::exp(up - down) + 1.0);
                const double dist = frac * width;
                const double wt = (1.0 - frac) * dist;
                const double fLow = f(dist + lower) * wt;
                const double fHigh = f(upper - dist) * wt;
                const double s = fLow + fHigh;
                plainSum = s + plainSum;
                sum = (up + down) * s + sum;
                pairBound = (std::fabs(fHigh) + std::fabs(fLow)) * (up + down);
                if (m == 1) bound = pairBound * tailFactor + bound;
                up = up * growth;
                down = down * shrink;
            } while (pairBound > bound || frac > nodeTol);
            t = t + h;
        } while (t < hBase);

        if (m == 1) {
            passTol = ((bound / tailFactor) * hBase) * nodeTol;
            change = (passTol + passTol) + 1.0;
        } else {
            // plainSum doubles and sum doubles when the new midpoints add
            // nothing; the measure is the departure from that.
            change = (4.0 * std::fabs(plainSum - (prevPlainSum + prevPlainSum)) +
                      std::fabs(sum - (prevSum + prevSum))) *
                     h;
        }
        h = h * 0.5;
        m = m + m;
        ++passes;
    } while (change > passTol && m < passCap);

    return {h * sum, passes};
}

}  // namespace lorvane::detail
