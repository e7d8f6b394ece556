#include "tessaly/intervals.h"

#include <utility>

TESSALY_DEFINE_POOLED_CLASS(G3Interval, "G3Interval", 4096)

namespace {
bool ValidAxis(int axis)
{
    return axis >= 0 && axis < 3;
}
} // namespace

G3Interval::G3Interval() : m_Point1(new G3Point), m_Point2(new G3Point) {}

G3Interval::G3Interval(const double* p1, GObj* owner1, const double* p2, GObj* owner2)
    : m_Owner1(owner1), m_Owner2(owner2)
{
    m_Point1 = new G3Point(p1);
    try {
        m_Point2 = new G3Point(p2);
    } catch (...) {
        delete m_Point1;
        throw;
    }
}

G3Interval::G3Interval(const double* p1, const double* p2) : G3Interval(p1, nullptr, p2, nullptr) {}

G3Interval::~G3Interval()
{
    delete m_Point1;
    delete m_Point2;
}

double G3Interval::GetXYZ1(int axis) const
{
    return ValidAxis(axis) ? m_Point1->GetXYZ(axis) : 0.0;
}

double G3Interval::GetXYZ2(int axis) const
{
    return ValidAxis(axis) ? m_Point2->GetXYZ(axis) : 0.0;
}

void G3Interval::Swap()
{
    std::swap(m_Point1, m_Point2);
    std::swap(m_Owner1, m_Owner2);
}

void G3Interval::Orient(int axis)
{
    if (ValidAxis(axis) && m_Point2->GetXYZ(axis) < m_Point1->GetXYZ(axis))
        Swap();
}

void G3Interval::Copy(GObj* source)
{
    GObj::Copy(source);
    auto* other = dynamic_cast<G3Interval*>(source);
    if (!other || other == this)
        return;
    auto* p1 = new G3Point(other->GetXYZ1());
    G3Point* p2 = nullptr;
    try {
        p2 = new G3Point(other->GetXYZ2());
    } catch (...) {
        delete p1;
        throw;
    }
    delete m_Point1;
    delete m_Point2;
    m_Point1 = p1;
    m_Point2 = p2;
    m_Owner1 = other->m_Owner1;
    m_Owner2 = other->m_Owner2;
}

G3Interval* G3Interval::Duplicate()
{
    auto* copy = new G3Interval;
    copy->Copy(this);
    return copy;
}
