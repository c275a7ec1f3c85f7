// Placeholder: the K1 evaluator lands here with its generated tables.
#pragma once
#include <limits>
namespace lorvane::detail {
inline double besselK1(double) noexcept { return std::numeric_limits<double>::quiet_NaN(); }
}  // namespace lorvane::detail
