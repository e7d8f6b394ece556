// The roof generator's life cycle and the first steps of a generation: the
// outline ring, the overhang, the edge planes and the pitches.
#include <algorithm>
#include <cmath>
#include <numeric>

#include "architecture/roof_tolerances.h"
#include "tessaly/roof.h"

using tessaly::roof::kAngleTolerance;

G3RoofGenerator::G3RoofGenerator(G3Surface* target, double reserved, double thickness, double overhang)
    : m_Reserved(reserved), m_Thickness(thickness), m_Overhang(overhang), m_Target(target)
{
}

G3RoofGenerator::G3RoofGenerator(const G3RoofGenerator& other)
    : m_Reserved(other.m_Reserved), m_Thickness(other.m_Thickness), m_Overhang(other.m_Overhang),
      m_Target(other.m_Target), m_LevelLimit(other.m_LevelLimit)
{
}

G3RoofGenerator& G3RoofGenerator::operator=(const G3RoofGenerator& other)
{
    if (this == &other)
        return *this;
    DeleteRoofVertices();
    m_Reserved = other.m_Reserved;
    m_Thickness = other.m_Thickness;
    m_Overhang = other.m_Overhang;
    m_Target = other.m_Target;
    m_LevelLimit = other.m_LevelLimit;
    std::fill(m_Origin, m_Origin + 3, 0.0);
    return *this;
}

G3RoofGenerator::~G3RoofGenerator()
{
    DeleteRoofVertices();
}

void G3RoofGenerator::DeleteRoofVertices()
{
    for (int i = 0; i < m_Rings.size(); ++i)
        G3RoofVertex::DeleteRing(static_cast<G3RoofVertex*>(m_Rings.get(i)));
    m_Rings.clear();
    m_Pitches.clear(true);
}

long G3RoofGenerator::GetFacetIndex(G3Obj* obj)
{
    return G3WallDataProvider::GetFacetIndex(obj);
}

ROOF_FACET_TYPE G3RoofGenerator::GetFacetType(G3Obj* obj)
{
    return G3WallDataProvider::GetFacetType(obj);
}

namespace {
using Outline = std::vector<std::array<double, 3>>;

bool UsableSlope(double angle)
{
    return std::isfinite(angle) && angle >= kAngleTolerance && angle <= tessaly::roof::kSteepestAngle;
}

bool UsablePoint(const std::array<double, 3>& p)
{
    for (double c : p)
        if (!std::isfinite(c) || std::fabs(c) >= tessaly::roof::kFarLimit)
            return false;
    return true;
}

// The lists hold G3Point objects and, at the same positions, pointers to
// doubles; a missing list, a null entry, or fewer angles than points is
// refused before anything is read.
bool ReadLists(GArrayCollection* points, GArrayCollection* angles, Outline& outline, std::vector<double>& slopes)
{
    if (!points || !angles || angles->size() < points->size())
        return false;
    for (int i = 0; i < points->size(); ++i) {
        const auto* p = static_cast<const G3Point*>(points->get(i));
        const auto* a = reinterpret_cast<const double*>(angles->get(i));
        if (!p || !a)
            return false;
        outline.push_back({p->GetX(), p->GetY(), p->GetZ()});
        slopes.push_back(*a);
    }
    return true;
}
} // namespace

bool G3RoofGenerator::Regen(GArrayCollection* points, GArrayCollection* angles)
{
    DeleteRoofVertices();
    Outline outline;
    std::vector<double> slopes;
    return ReadLists(points, angles, outline, slopes) && Regen(outline, slopes);
}

bool G3RoofGenerator::Regen(const std::vector<std::array<double, 3>>& outline, const std::vector<double>& slopes)
{
    DeleteRoofVertices();
    std::fill(m_Origin, m_Origin + 3, 0.0);
    if (!m_Target || outline.size() < 3 || slopes.size() < outline.size() || !UsablePoint(outline[0]))
        return false;
    m_Origin[0] = outline[0][0];
    m_Origin[1] = outline[0][1];
    return RegenRing(PrepareContour(outline, slopes));
}

G3RoofVertex* G3RoofGenerator::PrepareContour(GArrayCollection* points, GArrayCollection* angles)
{
    Outline outline;
    std::vector<double> slopes;
    return ReadLists(points, angles, outline, slopes) ? PrepareContour(outline, slopes) : nullptr;
}

G3RoofVertex* G3RoofGenerator::PrepareContour(const std::vector<std::array<double, 3>>& outline,
                                              const std::vector<double>& slopes)
{
    if (slopes.size() < outline.size())
        return nullptr;
    for (std::size_t i = 0; i < outline.size(); ++i)
        if (!UsablePoint(outline[i]) || !UsableSlope(slopes[i]))
            return nullptr;
    G3RoofVertex* ring = nullptr;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        auto* v = new G3RoofVertex;
        const double p[3] = {outline[i][0] - m_Origin[0], outline[i][1] - m_Origin[1], outline[i][2] - m_Origin[2]};
        v->SetXYZ(p);
        v->SetAngle(slopes[i]);
        v->SetSourceIndex(static_cast<int>(i));
        ring = G3RoofVertex::Append(ring, v);
    }
    return FinishContour(ring);
}

G3RoofVertex* G3RoofGenerator::FinishContour(G3RoofVertex* ring)
{
    // Equal neighbours go, and collinear points merge into one edge, which
    // keeps the angle of the later point.
    ring = DeleteUselessVertices(ring);
    const int direction = G3RoofVertex::Count(ring) >= 3 ? GetClockWiseDirection(ring) : 0;
    if (direction == 0 || std::fabs(G3RoofVertex::Area2(ring)) <= tessaly::roof::kLoopArea2) {
        G3RoofVertex::DeleteRing(ring);
        return nullptr;
    }
    if (direction < 0)
        G3RoofVertex::Reverse(ring);
    return ring;
}

bool G3RoofGenerator::RegenRing(G3RoofVertex* ring)
{
    if (!ring)
        return false;
    if (RingCrossesItself(ring)) {
        G3RoofVertex::DeleteRing(ring);
        return false;
    }
    if (m_Overhang > 0) {
        double smallest = ring->GetAngle();
        for (G3RoofVertex* v = ring->GetNext(); v != ring; v = v->GetNext())
            smallest = std::min(smallest, v->GetAngle());
        G3RoofVertex* eave = nullptr;
        const bool made = Offset(ring, smallest, m_Overhang, eave) && !RingCrossesItself(eave);
        G3RoofVertex::DeleteRing(ring);
        ring = eave;
        if (!made) {
            G3RoofVertex::DeleteRing(ring);
            return false;
        }
    }
    if (!FirstLevelInitialization(ring)) {
        G3RoofVertex::DeleteRing(ring);
        DeleteRoofVertices();
        return false;
    }
    // The roof is made in a private surface, so that a failure leaves the
    // target as it was.
    G3Surface staging, work;
    G3Surface* target = m_Target;
    m_Target = &staging;
    const bool made = MakeRoof(ring, &work);
    if (made && m_Thickness > 0)
        MakeFasciaFacets(&work);
    m_Target = target;
    if (made)
        m_Target->AddCopyOf(&staging);
    return made;
}

bool G3RoofGenerator::FirstLevelInitialization(G3RoofVertex* ring)
{
    if (!ring)
        return false;
    G3RoofVertex* v = ring;
    do {
        if (!FormEdgePlane(v))
            return false;
        v = v->GetNext();
    } while (v != ring);
    do {
        int index = GetPitchIndex(v->GetPlane());
        if (index < 0)
            index = MakeDefaultPitch(v);
        else
            AddToExistPitch(v, index);
        v->SetPitchIndex(index);
        v = v->GetNext();
    } while (v != ring);
    for (int i = 0; i < m_Pitches.size(); ++i)
        OrderPitchPolygons(GetPitch(i));
    return true;
}

namespace {
// The two-vertex polygon of v's outline edge, in v's plane.
G3RoofVertex* EdgePolygon(const G3RoofVertex* v, int pitchIndex)
{
    G3RoofVertex* polygon = nullptr;
    const G3RoofVertex* ends[2] = {v->GetPrevious(), v};
    for (const G3RoofVertex* end : ends) {
        auto* copy = new G3RoofVertex(*end);
        copy->TakeEdgeOf(v);
        copy->SetPitchIndex(pitchIndex);
        copy->SetMarks(0);
        polygon = G3RoofVertex::Append(polygon, copy);
    }
    return polygon;
}
} // namespace

int G3RoofGenerator::MakeDefaultPitch(G3RoofVertex* v)
{
    auto* pitch = new G3RoofPitch(v->GetPlane(), v->GetAngle());
    const int index = m_Pitches.add_i(pitch);
    pitch->GetPolygons()->add(EdgePolygon(v, index));
    return index;
}

void G3RoofGenerator::AddToExistPitch(G3RoofVertex* v, int index)
{
    if (index >= 0 && index < m_Pitches.size())
        GetPitch(index)->GetPolygons()->add(EdgePolygon(v, index));
}

int G3RoofGenerator::GetPitchIndex(const double* plane)
{
    for (int i = 0; i < m_Pitches.size(); ++i)
        if (GetPitch(i)->HasPlane(plane))
            return i;
    return -1;
}

void G3RoofGenerator::OrderPitchPolygons(G3RoofPitch* pitch)
{
    // The polygons of one plane lie along one line: they are ordered by the
    // position of their heads along the first polygon's head edge. The key is
    // a projection parameter, so the order holds at any scale, and the sort
    // keeps every polygon and the order of equal keys.
    GArrayCollection* list = pitch->GetPolygons();
    const int n = list->size();
    if (n < 2)
        return;
    const double* origin = pitch->GetPolygon(0)->GetXYZ();
    const double* along = pitch->GetPolygon(0)->GetNext()->GetXYZ();
    const double dir[3] = {along[0] - origin[0], along[1] - origin[1], along[2] - origin[2]};
    std::vector<double> key(static_cast<std::size_t>(n));
    std::vector<G3RoofVertex*> polygons(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        polygons[i] = pitch->GetPolygon(i);
        const double* p = polygons[i]->GetXYZ();
        key[i] = (p[0] - origin[0]) * dir[0] + (p[1] - origin[1]) * dir[1] + (p[2] - origin[2]) * dir[2];
    }
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key[a] < key[b]; });
    for (int i = 0; i < n; ++i)
        list->put(i, polygons[order[i]]);
}

G3RoofVertex* G3RoofGenerator::MakeOverhangContour(G3RoofVertex* ring)
{
    G3RoofVertex* copy = G3RoofVertex::CopyRing(ring);
    if (!copy)
        return nullptr;
    G3RoofVertex* v = copy;
    do {
        if (!FormEdgePlane(v)) {
            G3RoofVertex::DeleteRing(copy);
            return nullptr;
        }
        v = v->GetNext();
    } while (v != copy);
    // Each corner of the slice takes the plane and angle of the copy vertex
    // it comes from; a corner that cannot be cut leaves the slice short.
    G3RoofVertex* slice = Slice(copy, copy->GetZ() - m_Overhang, false);
    if (G3RoofVertex::Count(slice) != G3RoofVertex::Count(copy)) {
        G3RoofVertex::DeleteRing(slice);
        slice = nullptr;
    }
    G3RoofVertex::DeleteRing(copy);
    return slice;
}
