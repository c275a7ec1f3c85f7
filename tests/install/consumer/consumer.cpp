// Calls the installed library from C++: the header's declarations are
// extern "C", so the plain names link.
#include <lorvane.h>

#include <cmath>
#include <iostream>

int main() {
    const double k1 = BesselK1(1.0);
    const double price = NIG_Call_BS_style(100.0, 100.0, 1.0, 0.03, 15.0, -5.0, 0.5,
                                           0.18734833553500493, 5.0);
    std::cout.precision(17);
    std::cout << cdfN(1.96) << ' ' << k1 << ' ' << price << '\n';
    return (std::fabs(cdfN(1.96) - 0.97500210485177952) < 1e-16 && price > 1.0) ? 0 : 1;
}
