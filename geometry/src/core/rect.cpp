// GRect: the closed integer rectangle and its containment and overlap tests.

#include "tessaly/math.h"

#include <algorithm>
#include <utility>

GRect::GRect(int x1, int y1, int x2, int y2) : m_X1(x1), m_Y1(y1), m_X2(x2), m_Y2(y2) {}

GRect::~GRect() = default;

long GRect::GetWidth() const
{
    return static_cast<long>(m_X2) - static_cast<long>(m_X1);
}

long GRect::GetHeight() const
{
    return static_cast<long>(m_Y2) - static_cast<long>(m_Y1);
}

void GRect::Set(int x1, int y1, int x2, int y2)
{
    m_X1 = x1;
    m_Y1 = y1;
    m_X2 = x2;
    m_Y2 = y2;
}

void GRect::Normalize()
{
    if (m_X1 > m_X2)
        std::swap(m_X1, m_X2);
    if (m_Y1 > m_Y2)
        std::swap(m_Y1, m_Y2);
}

bool GRect::Equals(const GRect* other) const
{
    return other && m_X1 == other->m_X1 && m_Y1 == other->m_Y1 && m_X2 == other->m_X2 && m_Y2 == other->m_Y2;
}

void GRect::Add(const GRect* other)
{
    if (!other)
        return;
    m_X1 = std::min(m_X1, other->m_X1);
    m_Y1 = std::min(m_Y1, other->m_Y1);
    m_X2 = std::max(m_X2, other->m_X2);
    m_Y2 = std::max(m_Y2, other->m_Y2);
}

void GRect::Add(int x, int y)
{
    m_X1 = std::min(m_X1, x);
    m_Y1 = std::min(m_Y1, y);
    m_X2 = std::max(m_X2, x);
    m_Y2 = std::max(m_Y2, y);
}

bool GRect::Clip(const GRect* other)
{
    if (!other || IntersectOut(other))
        return false;
    m_X1 = std::max(m_X1, other->m_X1);
    m_Y1 = std::max(m_Y1, other->m_Y1);
    m_X2 = std::min(m_X2, other->m_X2);
    m_Y2 = std::min(m_Y2, other->m_Y2);
    return true;
}

int GRect::ClipTest(const GRect* other) const
{
    if (!other || IntersectOut(other))
        return 2;
    return IntersectIn(other) ? 0 : 1;
}

bool GRect::IntersectIn(const GRect* other) const
{
    return other && other->m_X1 >= m_X1 && other->m_X2 <= m_X2 && other->m_Y1 >= m_Y1 && other->m_Y2 <= m_Y2;
}

bool GRect::IntersectOut(const GRect* other) const
{
    return other && (other->m_X2 < m_X1 || other->m_X1 > m_X2 || other->m_Y2 < m_Y1 || other->m_Y1 > m_Y2);
}

void GRect::Copy(GObj* source)
{
    GObj::Copy(source);
    if (const GRect* rect = dynamic_cast<const GRect*>(source))
        Set(rect->m_X1, rect->m_Y1, rect->m_X2, rect->m_Y2);
}

GRect* GRect::Duplicate()
{
    GRect* copy = new GRect();
    copy->Copy(this);
    return copy;
}
