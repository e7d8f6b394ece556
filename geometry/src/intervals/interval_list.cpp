#include <cmath>

#include "core/tolerances.h"
#include "interval_order.h"

using tessaly::kLengthTolerance;

namespace {

int CheckedAxis(int axis)
{
    return axis >= 0 && axis < 3 ? axis : -1;
}

bool IsFinitePoint(const double* p)
{
    return !std::isnan(p[0]) && !std::isnan(p[1]) && !std::isnan(p[2]);
}

G3Interval* At(GArrayCollection* c, int i)
{
    return static_cast<G3Interval*>(c->get(i));
}

} // namespace

G3IntervalList::G3IntervalList() : G3IntervalList(-1, -1, -1) {}

G3IntervalList::G3IntervalList(int axisA, int axisB, int mainAxis)
    : m_AxisA(CheckedAxis(axisA)), m_AxisB(CheckedAxis(axisB)), m_MainAxis(CheckedAxis(mainAxis))
{
    m_Intervals = new GArrayCollection(16, 16);
    try {
        m_Points = new GArrayCollection(8, 8);
    } catch (...) {
        delete m_Intervals;
        throw;
    }
}

G3IntervalList::~G3IntervalList()
{
    DeleteIntervals();
    DeletePoints();
    delete m_Intervals;
    delete m_Points;
}

void G3IntervalList::DeleteIntervals()
{
    m_Intervals->clear(true);
}

void G3IntervalList::DeletePoints()
{
    m_Points->clear(true);
}

void G3IntervalList::AddPoint(const double* xyz)
{
    AddPoint(xyz, nullptr);
}

void G3IntervalList::AddPoint(const double* xyz, GObj* owner)
{
    if (!xyz)
        return;
    auto* point = new G3Point(xyz);
    point->SetExData(owner);
    m_Points->add(point);
    m_Built = false;
}

void G3IntervalList::AddInterval(const double* p1, const double* p2)
{
    AddInterval(p1, nullptr, p2, nullptr);
}

void G3IntervalList::AddInterval(const double* p1, GObj* owner1, const double* p2, GObj* owner2)
{
    if (!p1 || !p2)
        return;
    m_Intervals->add(new G3Interval(p1, owner1, p2, owner2));
    m_Built = false;
}

bool G3IntervalList::IsEmpty() const
{
    return m_Intervals->isEmpty() && m_Points->isEmpty();
}

void G3IntervalList::Clear()
{
    DeleteIntervals();
    DeletePoints();
    m_AxisA = m_AxisB = m_MainAxis = -1;
    m_Built = false;
}

void G3IntervalList::SetMaxCoo(G3IntervalList* other)
{
    if (!other)
        return;
    m_AxisA = other->m_AxisA;
    m_AxisB = other->m_AxisB;
    m_MainAxis = other->m_MainAxis;
}

void G3IntervalList::UpdateRange()
{
    if (m_Intervals->isEmpty() || m_MainAxis < 0) {
        m_Minimum = m_Maximum = 0.0;
        return;
    }
    m_Minimum = At(m_Intervals, 0)->GetXYZ1(m_MainAxis);
    m_Maximum = At(m_Intervals, m_Intervals->size() - 1)->GetXYZ2(m_MainAxis);
}

void G3IntervalList::BuildIntervals()
{
    // 1. The axes, from the extent of everything the list holds.
    if (m_MainAxis < 0) {
        GEnvelope box;
        for (int i = 0; i < m_Points->size(); ++i) {
            const double* p = static_cast<G3Point*>(m_Points->get(i))->GetXYZ();
            if (IsFinitePoint(p))
                box.Add(p);
        }
        for (int i = 0; i < m_Intervals->size(); ++i) {
            G3Interval* piece = At(m_Intervals, i);
            if (IsFinitePoint(piece->GetXYZ1()) && IsFinitePoint(piece->GetXYZ2())) {
                box.Add(piece->GetXYZ1());
                box.Add(piece->GetXYZ2());
            }
        }
        m_MainAxis = box.GetMaxCoo();
        box.GetMaxCoo(&m_AxisA, &m_AxisB);
    }
    int k = m_MainAxis;

    // 2. Nothing without a place on the main axis takes part.
    for (int i = m_Points->size() - 1; i >= 0; --i) {
        auto* point = static_cast<G3Point*>(m_Points->get(i));
        if (std::isnan(point->GetXYZ(k))) {
            delete point;
            m_Points->RemoveWithShift(i);
        }
    }
    for (int i = m_Intervals->size() - 1; i >= 0; --i) {
        G3Interval* piece = At(m_Intervals, i);
        if (std::isnan(piece->GetXYZ1(k)) || std::isnan(piece->GetXYZ2(k))) {
            delete piece;
            m_Intervals->RemoveWithShift(i);
        }
    }

    // 3. The old pieces may come in any order and may overlap (in-plane
    // edges mixed with pieces of earlier builds): orient, sort, unite.
    GArrayCollection* old = nullptr;
    if (!m_Intervals->isEmpty()) {
        for (int i = 0; i < m_Intervals->size(); ++i)
            At(m_Intervals, i)->Orient(k);
        m_Intervals->qsortex(&interval_order::CompareIntervals, &k);
        old = new GArrayCollection(m_Intervals->size(), 16);
        SelfUnion(m_Intervals, k, old);
        DeleteIntervals();
    }

    // 4. Pairs of sorted points. An unpaired last point is dropped.
    m_Points->qsortex(&interval_order::ComparePoints, &k);
    GArrayCollection* pairs = old ? new GArrayCollection(m_Points->size() / 2 + 1, 16) : m_Intervals;
    for (int i = 0; i + 1 < m_Points->size(); i += 2) {
        auto* a = static_cast<G3Point*>(m_Points->get(i));
        auto* b = static_cast<G3Point*>(m_Points->get(i + 1));
        pairs->add(new G3Interval(a->GetXYZ(), a->GetExData(), b->GetXYZ(), b->GetExData()));
    }

    // 5. Unite the pairs with the old pieces.
    if (old) {
        m_Intervals->ensureCapacity(old->size() + pairs->size());
        Union(old, pairs, k, m_Intervals);
        old->clear(true);
        pairs->clear(true);
        delete old;
        delete pairs;
    }

    // 6. The loose points are used up.
    DeletePoints();
    m_Intervals->qsortex(&interval_order::CompareIntervals, &k);
    UpdateRange();
    m_Built = true;
}

void G3IntervalList::EnsureBuilt()
{
    if (!m_Built || m_MainAxis < 0)
        BuildIntervals();
}

INTERVAL_LIST_INTERSECTION_TYPE G3IntervalList::GetIntersectionType(G3IntervalList* other) const
{
    if (!other)
        return ILIT_DISJOINT;
    if (m_MainAxis != other->m_MainAxis)
        return ILIT_DIFFERENT_AXIS;
    if (m_Intervals->isEmpty() || other->m_Intervals->isEmpty())
        return ILIT_DISJOINT;
    if (other->m_Minimum - kLengthTolerance <= m_Maximum && m_Minimum <= other->m_Maximum + kLengthTolerance)
        return ILIT_OVERLAP;
    return ILIT_DISJOINT;
}

void G3IntervalList::Merge(G3IntervalList* other)
{
    if (!other)
        return;
    SetMaxCoo(other);
    // Counts first: other may be this list.
    const int points = other->m_Points->size();
    const int pieces = other->m_Intervals->size();
    for (int i = 0; i < points; ++i)
        m_Points->add(other->m_Points->get(i)->Duplicate());
    for (int i = 0; i < pieces; ++i)
        m_Intervals->add(At(other->m_Intervals, i)->Duplicate());
    if (points > 0 || pieces > 0)
        m_Built = false;
}

G3IntervalList* G3IntervalList::Union(G3IntervalList* other)
{
    EnsureBuilt();
    if (other)
        other->EnsureBuilt();
    if (!other || other->m_Intervals->isEmpty())
        return Duplicate();
    if (m_Intervals->isEmpty())
        return other->Duplicate();
    auto* result = new G3IntervalList(m_AxisA, m_AxisB, m_MainAxis);
    result->m_Intervals->ensureCapacity(m_Intervals->size() + other->m_Intervals->size());
    Union(m_Intervals, other->m_Intervals, m_MainAxis, result->m_Intervals);
    result->UpdateRange();
    result->m_Built = true;
    return result;
}

G3IntervalList* G3IntervalList::Intersect(G3IntervalList* other)
{
    EnsureBuilt();
    if (other)
        other->EnsureBuilt();
    auto* result = new G3IntervalList(m_AxisA, m_AxisB, m_MainAxis);
    if (other && !m_Intervals->isEmpty() && !other->m_Intervals->isEmpty())
        Intersect(m_Intervals, other->m_Intervals, m_MainAxis, result->m_Intervals);
    result->UpdateRange();
    result->m_Built = true;
    return result;
}

void G3IntervalList::Intersect(G3Interval* c)
{
    if (!c)
        return;
    EnsureBuilt();
    if (m_Intervals->isEmpty())
        return;
    const int k = m_MainAxis;
    const bool reversed = c->GetXYZ2(k) < c->GetXYZ1(k);
    const double* lo = reversed ? c->GetXYZ2() : c->GetXYZ1();
    const double* hi = reversed ? c->GetXYZ1() : c->GetXYZ2();
    GObj* loOwner = reversed ? c->GetOwner2() : c->GetOwner1();
    GObj* hiOwner = reversed ? c->GetOwner1() : c->GetOwner2();
    if (hi[k] < m_Minimum || lo[k] > m_Maximum || std::isnan(lo[k]) || std::isnan(hi[k])) {
        DeleteIntervals();
        UpdateRange();
        return;
    }
    auto* clipped = new GArrayCollection(m_Intervals->size(), 16);
    Clip(m_Intervals, lo, loOwner, hi, hiOwner, k, clipped);
    DeleteIntervals();
    m_Intervals->add(clipped->size(), clipped->toArray());
    delete clipped;
    UpdateRange();
}

G3IntervalList* G3IntervalList::Sub(G3IntervalList*)
{
    return nullptr;
}

void G3IntervalList::Copy(GObj* source)
{
    GObj::Copy(source);
    auto* other = dynamic_cast<G3IntervalList*>(source);
    if (!other || other == this)
        return;
    DeleteIntervals();
    DeletePoints();
    m_AxisA = other->m_AxisA;
    m_AxisB = other->m_AxisB;
    m_MainAxis = other->m_MainAxis;
    m_Minimum = other->m_Minimum;
    m_Maximum = other->m_Maximum;
    for (int i = 0; i < other->m_Points->size(); ++i)
        m_Points->add(other->m_Points->get(i)->Duplicate());
    for (int i = 0; i < other->m_Intervals->size(); ++i)
        m_Intervals->add(At(other->m_Intervals, i)->Duplicate());
    m_Built = other->m_Built;
}

G3IntervalList* G3IntervalList::Duplicate()
{
    auto* copy = new G3IntervalList;
    copy->Copy(this);
    return copy;
}
