#pragma once
// A loop of points given as an array of coordinate pointers is usable when
// the array and all its entries exist and it has at least minCount points.
inline bool ValidLoop(const double* const* points, int count, int minCount)
{
    if (!points || count < minCount)
        return false;
    for (int k = 0; k < count; ++k)
        if (!points[k])
            return false;
    return true;
}
