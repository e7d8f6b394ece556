// The loop functions of G3Math over point objects yielded by an iterator.
#include "tessaly/elements.h"

#include <vector>

namespace {

// The coordinates of the iterated points; empty when the iterator yields an
// object that is not a point.
std::vector<const double*> Coordinates(GIterator* points)
{
    std::vector<const double*> coordinates;
    if (!points)
        return coordinates;
    while (points->hasNext()) {
        auto* point = dynamic_cast<G3Point*>(points->next());
        if (!point)
            return {};
        coordinates.push_back(point->GetXYZ());
    }
    return coordinates;
}

int Count(const std::vector<const double*>& coordinates)
{
    return static_cast<int>(coordinates.size());
}

} // namespace

bool G3Math::FormPlaneEquation(GIterator* points, double* plane)
{
    std::vector<const double*> c = Coordinates(points);
    return FormPlaneEquation(c.data(), Count(c), plane);
}

bool G3Math::FormMaxPlaneCoo(GIterator* points, int* i, int* j, double* plane)
{
    std::vector<const double*> c = Coordinates(points);
    return FormMaxPlaneCoo(c.data(), Count(c), i, j, plane);
}

bool G3Math::FormMaxPlane(GIterator* points, double* plane)
{
    std::vector<const double*> c = Coordinates(points);
    return FormMaxPlane(c.data(), Count(c), plane);
}

double G3Math::CalcSquare(GIterator* points, double* areas)
{
    std::vector<const double*> c = Coordinates(points);
    return CalcSquare(c.data(), Count(c), areas);
}

bool G3Math::FormEnvelope(GIterator* points, GEnvelope* env)
{
    std::vector<const double*> c = Coordinates(points);
    return FormEnvelope(c.data(), Count(c), env);
}

int G3Math::ConvexTest(GIterator* points, int i, int j)
{
    std::vector<const double*> c = Coordinates(points);
    return ConvexTest(c.data(), Count(c), i, j);
}

double G3Math::CalcAngle(G3Vertex* c, G3Vertex* p, double ref, int a1, int a2)
{
    if (!c || !p)
        return 0.0;
    return CalcAngle(c->GetXYZ(), p->GetXYZ(), ref, a1, a2);
}
