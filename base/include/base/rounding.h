#pragma once

#include <cmath>

namespace vellora {

// Every computed pixel value and percentage rounds to nearest with halves to even
// (2.5 -> 2, 3.5 -> 4, -2.5 -> -2); qRound rounds halves away from zero.
inline int roundHalfEven(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff < 0.5)
        return static_cast<int>(f);
    if (diff > 0.5)
        return static_cast<int>(f) + 1;
    const int fi = static_cast<int>(f);
    return (fi % 2 == 0) ? fi : fi + 1;
}

} // namespace vellora
