// Texture coordinates by projection. Planar: each facet in a frame of its
// own plane (model units, so a texture keeps its scale across facets). Box:
// each facet on the two axes other than its normal's dominant one.
// Cylindrical and spherical: turns around the body's centre (u from 0 to 1,
// a facet across the seam continues past 1), height or latitude (v from 0
// to 1).
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "core/tolerances.h"
#include "tessaly/surface.h"

using tessaly::kLengthTolerance;

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kPi = 3.141592653589793;

using UV = std::array<double, 2>;

double Dot(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Cross(const double* a, const double* b, double* out)
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

bool MakeUnit(double* v)
{
    const double length = std::sqrt(Dot(v, v));
    if (length < kLengthTolerance)
        return false;
    for (int a = 0; a < 3; ++a)
        v[a] /= length;
    return true;
}

// A frame in the facet's plane: the first axis level (orthogonal to z), the
// second up the slope. False for a level facet, whose plane has no slope.
bool PlaneFrame(const G3Facet* f, double* origin, double* first, double* second)
{
    double n[3] = {f->GetPlaneA(), f->GetPlaneB(), f->GetPlaneC()};
    const double up[3] = {0, 0, 1};
    if (!MakeUnit(n))
        return false;
    Cross(n, up, first);
    if (!MakeUnit(first))
        return false;
    Cross(n, first, second);
    const double d = f->GetPlaneD() / std::sqrt(Dot(f->GetPlane(), f->GetPlane()));
    for (int a = 0; a < 3; ++a)
        origin[a] = -d * n[a];
    return true;
}

// A vertex on the axis of the turn has no angle of its own.
bool OnAxis(const G3Vertex* v, const double* centre)
{
    const double* p = v->GetXYZ();
    return std::hypot(p[0] - centre[0], p[1] - centre[1]) < kLengthTolerance;
}

// A facet across the seam of a turn continues past 1 instead of stretching
// back over the whole texture; a vertex on the axis (a pole) takes the mean
// turn of the facet's other vertices.
void FixTurns(const std::vector<G3Vertex*>& corners, const double* centre, std::vector<UV>& uv)
{
    double lo = 2.0, hi = -1.0;
    for (std::size_t i = 0; i < uv.size(); ++i)
        if (!OnAxis(corners[i], centre)) {
            lo = std::min(lo, uv[i][0]);
            hi = std::max(hi, uv[i][0]);
        }
    double sum = 0.0;
    int count = 0;
    for (std::size_t i = 0; i < uv.size(); ++i) {
        if (OnAxis(corners[i], centre))
            continue;
        if (hi - lo > 0.5 && uv[i][0] < 0.5)
            uv[i][0] += 1.0;
        sum += uv[i][0];
        ++count;
    }
    for (std::size_t i = 0; i < uv.size(); ++i)
        if (OnAxis(corners[i], centre) && count > 0)
            uv[i][0] = sum / count;
}

std::vector<UV> Project(G3Facet* f, const std::vector<G3Vertex*>& corners, TEXTURE_PROJECTION_MODE mode,
                        const GEnvelope& box)
{
    std::vector<UV> uv;
    double origin[3], first[3], second[3];
    const bool framed = mode == TEXTURE_PROJECTION_PLANAR && PlaneFrame(f, origin, first, second);
    int i, j;
    f->GetMaxCoo(&i, &j);
    double centre[3];
    for (int a = 0; a < 3; ++a)
        centre[a] = (box.GetMin()[a] + box.GetMax()[a]) / 2.0;
    const double height = box.GetMax()[2] - box.GetMin()[2];
    for (G3Vertex* v : corners) {
        const double* p = v->GetXYZ();
        double d[3] = {p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]};
        switch (mode) {
        case TEXTURE_PROJECTION_PLANAR:
            if (framed) {
                const double r[3] = {p[0] - origin[0], p[1] - origin[1], p[2] - origin[2]};
                uv.push_back({Dot(r, first), Dot(r, second)});
            } else {
                uv.push_back({p[i], p[j]});
            }
            break;
        case TEXTURE_PROJECTION_BOX: uv.push_back({p[i], p[j]}); break;
        case TEXTURE_PROJECTION_CYLINDRICAL:
            uv.push_back({std::atan2(d[1], d[0]) / kTwoPi + 0.5,
                          height > kLengthTolerance ? (p[2] - box.GetMin()[2]) / height : 0.0});
            break;
        case TEXTURE_PROJECTION_SPHERICAL: {
            const double r = std::sqrt(Dot(d, d));
            const double latitude = r > kLengthTolerance ? std::asin(std::clamp(d[2] / r, -1.0, 1.0)) : 0.0;
            uv.push_back({std::atan2(d[1], d[0]) / kTwoPi + 0.5, latitude / kPi + 0.5});
            break;
        }
        }
    }
    if (mode == TEXTURE_PROJECTION_CYLINDRICAL || mode == TEXTURE_PROJECTION_SPHERICAL)
        FixTurns(corners, centre, uv);
    return uv;
}
} // namespace

bool G3Surface::GenerateTexCoo(TEXTURE_PROJECTION_MODE mode)
{
    GEnvelope box;
    if (GetFacetCount() == 0 || !GetTexCooList() || !GetNormalList() || !FormEnvelope(&box))
        return false;
    if (mode < TEXTURE_PROJECTION_PLANAR || mode > TEXTURE_PROJECTION_SPHERICAL)
        return false;
    GArrayCollection vertices;
    for (int k = 0; k < GetFacetCount(); ++k) {
        G3Facet* f = GetFacet(k);
        f->GetVertices(&vertices);
        std::vector<G3Vertex*> corners;
        for (int i = 0; i < vertices.size(); ++i)
            corners.push_back(static_cast<G3Vertex*>(vertices.get(i)));
        const std::vector<UV> uv = Project(f, corners, mode, box);
        G3Normal* plane = nullptr;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            G3TexCoo* old = nullptr;
            G3Normal* normal = f->GetNormal(corners[i], &old);
            if (!normal)
                normal = plane ? plane : (plane = AddNormal(f->GetPlaneA(), f->GetPlaneB(), f->GetPlaneC()));
            corners[i]->SetNormal(f, normal, AddTexCoo(uv[i][0], uv[i][1]));
        }
    }
    RemoveUnusedTexCoo();
    return true;
}
