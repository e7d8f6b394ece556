// The metric ray-trace result: the nearest hit to the eye and a list of all
// facet and object hits by distance.
#include <cmath>

#include "tessaly/raytrace.h"

namespace {
void Copy3(double* to, const double* from)
{
    for (int a = 0; a < 3; ++a)
        to[a] = from ? from[a] : 0.0;
}
} // namespace

G3RayTraceResult::~G3RayTraceResult() = default;

G3RayTraceMetricResult::G3RayTraceMetricResult() = default;

G3RayTraceMetricResult::G3RayTraceMetricResult(double* eye)
{
    Copy3(m_Eye, eye);
}

G3RayTraceMetricResult::~G3RayTraceMetricResult()
{
    while (m_Hits) {
        Hit* next = m_Hits->next;
        delete m_Hits;
        m_Hits = next;
    }
}

void G3RayTraceMetricResult::SetEyePosition(double x, double y, double z)
{
    m_Eye[0] = x;
    m_Eye[1] = y;
    m_Eye[2] = z;
}

double G3RayTraceMetricResult::DistanceTo(const double* point) const
{
    return std::sqrt(std::pow(point[0] - m_Eye[0], 2) + std::pow(point[1] - m_Eye[1], 2) +
                     std::pow(point[2] - m_Eye[2], 2));
}

int G3RayTraceMetricResult::GetHitCount() const
{
    int count = 0;
    for (const Hit* h = m_Hits; h; h = h->next)
        ++count;
    return count;
}

G3RayTraceMetricResult::Hit* G3RayTraceMetricResult::MakeHit(double distance, const double* point, const double* normal,
                                                             const double* axis1, const double* axis2)
{
    Hit* hit = new Hit{};
    hit->distance = distance;
    Copy3(hit->point, point);
    Copy3(hit->normal, normal);
    Copy3(hit->axis1, axis1);
    Copy3(hit->axis2, axis2);
    return hit;
}

// After every record nearer than the hit, before the first one as far or
// farther: records of equal distance keep their order of arrival.
void G3RayTraceMetricResult::Insert(Hit* hit)
{
    Hit** at = &m_Hits;
    while (*at && (*at)->distance <= hit->distance)
        at = &(*at)->next;
    hit->next = *at;
    *at = hit;
}

// The hit becomes the nearest: its point, normal and axes (zero when not
// supplied, never left over from an earlier hit). The element fields of
// other kinds keep their values; the kind says which belong to this hit.
void G3RayTraceMetricResult::Take(HitKind kind, double distance, const double* point, const double* normal,
                                  const double* axis1, const double* axis2)
{
    m_Kind = kind;
    m_Distance = distance;
    Copy3(m_Point, point);
    Copy3(m_Normal, normal);
    Copy3(m_Axis1, axis1);
    Copy3(m_Axis2, axis2);
}

bool G3RayTraceMetricResult::FindFacet(const double* point, const double* normal, const double* axis1,
                                       const double* axis2, G3Facet* facet)
{
    if (!point)
        return false;
    const double d = DistanceTo(point);
    Hit* hit = MakeHit(d, point, normal, axis1, axis2);
    hit->facet = facet;
    Insert(hit);
    if (m_Distance >= 0 && !(d < m_Distance))
        return false;
    Take(HIT_FACET, d, point, normal, axis1, axis2);
    m_Facet = facet;
    return true;
}

bool G3RayTraceMetricResult::FindObject(const double* point, const double* normal, const double* axis1,
                                        const double* axis2, void* data, void* modelerData)
{
    if (!point)
        return false;
    const double d = DistanceTo(point);
    Hit* hit = MakeHit(d, point, normal, axis1, axis2);
    hit->data = data;
    hit->modelerData = modelerData;
    Insert(hit);
    if (m_Distance >= 0 && !(d < m_Distance))
        return false;
    Take(HIT_OBJECT, d, point, normal, axis1, axis2);
    m_Facet = nullptr;
    m_Data = data;
    m_ModelerData = modelerData;
    return true;
}

bool G3RayTraceMetricResult::FindEdge(const double* point, const double* normal, G3Edge* edge)
{
    if (!point)
        return false;
    const double d = DistanceTo(point);
    if (m_Distance >= 0 && !(d < m_Distance))
        return false;
    Take(HIT_EDGE, d, point, normal, nullptr, nullptr);
    m_Edge = edge;
    return true;
}

bool G3RayTraceMetricResult::FindVertex(const double* point, const double* normal, G3Vertex*)
{
    if (!point)
        return false;
    const double d = DistanceTo(point);
    if (m_Distance >= 0 && !(d < m_Distance))
        return false;
    Take(HIT_VERTEX, d, point, normal, nullptr, nullptr);
    return true;
}
