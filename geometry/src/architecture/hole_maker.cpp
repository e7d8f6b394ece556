// The hole maker's stored openings and panel records: what AddHoleContour
// keeps, copies of it, and what the destructor frees.
#include <cmath>

#include "core/tolerances.h"
#include "tessaly/hole_maker.h"

namespace {
// A direction shorter than this has no direction.
constexpr double kMinDirectionLength = tessaly::kZeroDivisor;

bool IsFinite(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// A new list of new points at the points of source.
GArrayCollection* CopyPoints(GArrayCollection* source)
{
    auto* copy = new GArrayCollection;
    for (int k = 0; k < source->size(); ++k)
        copy->add(new G3Point(static_cast<G3Point*>(source->get(k))->GetXYZ()));
    return copy;
}

void DeletePoints(GArrayCollection* points)
{
    if (!points)
        return;
    points->clear(true);
    delete points;
}

// Copies of the outline's points with each run of equal points kept once,
// closed by a copy of the first point; null when a point is missing or not
// finite, or fewer than 3 distinct points remain.
GArrayCollection* CleanOutline(GArrayCollection* outline)
{
    auto* points = new GArrayCollection;
    int distinct = 0;
    for (int k = 0; k < outline->size(); ++k) {
        auto* p = static_cast<G3Point*>(outline->get(k));
        if (!p || !IsFinite(p->GetXYZ())) {
            DeletePoints(points);
            return nullptr;
        }
        if (!points->isEmpty() && static_cast<G3Point*>(points->getLast())->Equals(p->GetXYZ()))
            continue;
        bool seen = false;
        for (int m = 0; m < points->size() && !seen; ++m)
            seen = static_cast<G3Point*>(points->get(m))->Equals(p->GetXYZ());
        distinct += seen ? 0 : 1;
        points->add(new G3Point(p->GetXYZ()));
    }
    if (distinct < 3) {
        DeletePoints(points);
        return nullptr;
    }
    auto* first = static_cast<G3Point*>(points->getFirst());
    if (!static_cast<G3Point*>(points->getLast())->Equals(first->GetXYZ()))
        points->add(new G3Point(first->GetXYZ()));
    return points;
}

// The direction made unit length; null when it is missing, not finite or
// has no length.
G3Point* UnitDirection(G3Point* direction)
{
    if (!direction || !IsFinite(direction->GetXYZ()))
        return nullptr;
    const double* d = direction->GetXYZ();
    const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (!(length > kMinDirectionLength))
        return nullptr;
    return new G3Point(d[0] / length, d[1] / length, d[2] / length);
}
} // namespace

G3HolePanel::G3HolePanel(G3Facet* a, G3Facet* b)
    : m_A(a), m_B(b), m_OnA(new GArrayCollection), m_OnB(new GArrayCollection)
{
}

G3HolePanel::~G3HolePanel()
{
    for (GArrayCollection* side : {m_OnA, m_OnB}) {
        for (int j = 0; j < side->size(); ++j)
            DeletePoints(static_cast<GArrayCollection*>(side->get(j)));
        delete side;
    }
}

G3HolePanel* G3HolePanel::DuplicatePanel() const
{
    auto* copy = new G3HolePanel(m_A, m_B);
    for (int j = 0; j < GetOutlineCount(); ++j)
        copy->AddOutlines(CopyPoints(GetOutlineOnA(j)), CopyPoints(GetOutlineOnB(j)));
    return copy;
}

void G3HolePanel::AddOutlines(GArrayCollection* onA, GArrayCollection* onB)
{
    m_OnA->add(onA);
    m_OnB->add(onB);
}

GArrayCollection* G3HolePanel::GetOutlineOnA(int j) const
{
    return j >= 0 && j < m_OnA->count() ? static_cast<GArrayCollection*>(m_OnA->get(j)) : nullptr;
}

GArrayCollection* G3HolePanel::GetOutlineOnB(int j) const
{
    return j >= 0 && j < m_OnB->count() ? static_cast<GArrayCollection*>(m_OnB->get(j)) : nullptr;
}

void G3HolePanel::ForgetFacets()
{
    m_A = nullptr;
    m_B = nullptr;
}

G3HoleMaker::G3HoleMaker(G3Surface* surface) : m_Surface(surface) {}

G3HoleMaker::G3HoleMaker(const G3HoleMaker& other) : m_Surface(other.m_Surface)
{
    CopyFrom(other);
}

G3HoleMaker& G3HoleMaker::operator=(const G3HoleMaker& other)
{
    if (this == &other)
        return *this;
    DeletePanels();
    DeleteOpenings();
    m_Surface = other.m_Surface;
    CopyFrom(other);
    return *this;
}

G3HoleMaker::~G3HoleMaker()
{
    DeletePanels();
    DeleteOpenings();
}

void G3HoleMaker::CopyFrom(const G3HoleMaker& other)
{
    for (int k = 0; k < other.m_Outlines.count(); ++k) {
        m_Outlines.add(CopyPoints(static_cast<GArrayCollection*>(other.m_Outlines.get(k))));
        m_Directions.add(new G3Point(static_cast<G3Point*>(other.m_Directions.get(k))->GetXYZ()));
    }
    for (int k = 0; k < other.m_Panels.count(); ++k)
        m_Panels.add(other.GetPanel(k)->DuplicatePanel());
}

void G3HoleMaker::DeletePanels()
{
    m_Panels.clear(true);
}

void G3HoleMaker::DeleteOpenings()
{
    for (int k = 0; k < m_Outlines.size(); ++k)
        DeletePoints(static_cast<GArrayCollection*>(m_Outlines.get(k)));
    m_Outlines.clear();
    m_Directions.clear(true);
}

bool G3HoleMaker::AddHoleContour(GArrayCollection* outline, G3Point* direction)
{
    if (!outline)
        return false;
    G3Point* unit = UnitDirection(direction);
    if (!unit)
        return false;
    GArrayCollection* points = CleanOutline(outline);
    if (!points) {
        delete unit;
        return false;
    }
    m_Outlines.add(points);
    m_Directions.add(unit);
    return false;
}

G3HolePanel* G3HoleMaker::GetPanel(int k) const
{
    return k >= 0 && k < m_Panels.count() ? static_cast<G3HolePanel*>(m_Panels.get(k)) : nullptr;
}

int G3HoleMaker::GetCutCount() const
{
    int count = 0;
    for (int k = 0; k < m_Panels.count(); ++k)
        count += GetPanel(k)->GetOutlineCount();
    return count;
}
