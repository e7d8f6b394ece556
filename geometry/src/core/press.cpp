#include "tessaly/object.h"

#include "core/tolerances.h"
#include <cmath>

using tessaly::kLengthTolerance;

double GPress::minsize = 0.0;

bool GPress::init(double scale)
{
    minsize = scale >= kLengthTolerance ? std::sqrt(2.0) / scale : std::sqrt(2.0);
    return true;
}

double GPress::MINSIZE2()
{
    return minsize;
}

double GPress::getSizeXY(double x1, double y1, double x2, double y2)
{
    double dx = x2 - x1;
    double dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}
