#pragma once
// Which density of skin art a surface of a device scale draws: the one made for the
// scale, else the nearest larger one (scaled down), else the largest there is.

#include <set>

inline int ChooseDensity(const std::set<int>& densities, double scale)
{
    for (const int density : densities)
        if (density >= scale - 1e-9)
            return density;
    return densities.empty() ? 1 : *densities.rbegin();
}
